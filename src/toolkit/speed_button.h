// TSpeedButton: a flat tool-bar button (the frame's sbt* buttons, the calendar's step arrows).
#pragma once

#include "toolkit/button.h"

namespace lembrete {

class TSpeedButton : public TButton {
  public:
    using TButton::TButton;

    bool Flat() const { return flat_; }
    void SetFlat(bool flat) { flat_ = flat; }

  private:
    bool flat_ = true;
};

}  // namespace lembrete
