// TSpinEdit: a whole-number box with up/down arrows, MinValue..MaxValue (no limits when both
// are 0). While the user types, the text may be empty or just "-"; Value reads such a text as
// MinValue and any number brought into the range. Leaving the box brings an out-of-range
// number back into the range (an empty text stays empty, so a form can tell it was cleared).
#pragma once

#include "toolkit/custom_edit.h"

namespace lembrete {

class TSpinEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    // Throws std::invalid_argument when min > max.
    void SetRange(int minValue, int maxValue);

    int Value() const;
    void SetValue(int value);  // brought into the range
    // The arrows: one Increment up or down, within the range.
    void StepUp();
    void StepDown();
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = increment; }

  protected:
    bool Accepts(const std::string& text) const override;

  private:
    void left() override;
    int clamp(long long value) const;
    bool limited() const { return minValue_ != 0 || maxValue_ != 0; }

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
};

}  // namespace lembrete
