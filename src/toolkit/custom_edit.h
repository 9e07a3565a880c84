// TCustomEdit: the text state shared by the edit boxes: Text, MaxLength (in characters; 0 =
// no limit), ReadOnly, and OnChange on every change of the text.
//
// SetText is code setting the text: a text the box cannot hold (too long, or refused by the
// box's own rule, such as a mask) is an error (std::invalid_argument), never cut. TypeText is
// the user typing at the end of the text, one character at a time: each character the box
// cannot take is refused as a real box refuses a keystroke, and every accepted one fires
// OnChange. Backspace removes the last character.
#pragma once

#include <string>

#include "toolkit/component.h"

namespace lembrete {

class TCustomEdit : public Component {
  public:
    using Component::Component;

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    void Clear() { SetText({}); }

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    Event<> OnChange;

    // User actions; nothing happens on a read-only, disabled or hidden box.
    void TypeText(std::string_view typed);
    void Backspace();
    // The user replaces the whole text (paste over a selection); refused when not acceptable.
    bool EnterText(std::string text);

  protected:
    // Whether the box can hold `text`; the default checks MaxLength.
    virtual bool Accepts(const std::string& text) const;
    // Whether the user may type `character` at the end of the current text.
    virtual bool AcceptsTyped(const std::string& character) const;
    // Changes the text without the acceptance check (for boxes that normalise their text, or
    // that show a field's value).
    void assign(std::string text);
    // Called after every change of the text, before OnChange (data-aware boxes store it).
    virtual void textChanged() {}

  private:
    std::string text_;
    int maxLength_ = 0;
    bool readOnly_ = false;
};

}  // namespace lembrete
