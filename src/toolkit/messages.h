// TMessages: a form's table of user texts, lines "KEY|Text" ("Canc|Deseja cancelar a
// atividade?"). Msg finds a key regardless of letter case ("tmes" finds "TMES").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"

namespace lembrete {

class TMessages : public Component {
  public:
    using Component::Component;

    const std::vector<std::string>& Messages() const { return lines_; }
    // Throws std::invalid_argument for a line without a bar.
    void SetMessages(std::vector<std::string> lines);
    void AddMessage(std::string line);

    // The text after the first bar of the key's line; throws std::out_of_range naming the key
    // and the table when there is no such key.
    std::string Msg(std::string_view key) const;
    bool HasMsg(std::string_view key) const;

  private:
    const std::string* find(std::string_view key) const;

    std::vector<std::string> lines_;
};

}  // namespace lembrete
