// FieldWidthError: a text longer than its field's width was refused (texts are never cut).
//
// The message is Portuguese, for the user, and names the field's caption and the width.
#pragma once

#include <stdexcept>
#include <string>

namespace lembrete {

class FieldWidthError : public std::invalid_argument {
  public:
    FieldWidthError(const std::string& fieldLabel, int width)
        : std::invalid_argument("O campo \"" + fieldLabel + "\" aceita no máximo " +
                                std::to_string(width) + " caracteres."),
          label_(fieldLabel),
          width_(width) {}

    const std::string& fieldLabel() const { return label_; }
    int width() const { return width_; }

  private:
    std::string label_;
    int width_;
};

}  // namespace lembrete
