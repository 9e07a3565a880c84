// TMaskEdit: an edit box with an input mask such as "999;0; " (the priority box).
//
// The mask has three parts separated by ';': the slots ('0' a required digit, '9' an optional
// digit, 'L'/'l' a letter, 'A'/'a' a letter or digit, 'C'/'c' any character; '\' makes the
// next character a literal; any other character is a literal), whether literals are stored
// (only 0 is supported: Text holds the entered characters alone), and the placeholder shown
// in empty slots. Text goes in and out without literals and without placeholders ("5" for a
// priority of five); DisplayText shows the box as the user sees it ("5  ").
#pragma once

#include <string>
#include <vector>

#include "toolkit/custom_edit.h"

namespace lembrete {

class TMaskEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;

    const std::string& EditMask() const { return editMask_; }
    // Throws std::invalid_argument for a mask that stores literals or has no slot.
    void SetEditMask(std::string mask);
    std::string DisplayText() const;
    // True when every required slot is filled.
    bool Complete() const;

  protected:
    bool Accepts(const std::string& text) const override;

  private:
    struct Slot {
        char kind = 0;  // mask character, or 0 for a literal
        std::string literal;
    };
    std::vector<const Slot*> inputSlots() const;

    std::string editMask_;
    std::vector<Slot> slots_;
    std::string blank_ = "_";
};

}  // namespace lembrete
