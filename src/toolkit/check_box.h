// TCheckBox: a check box. OnClick fires whenever Checked changes, whether the user clicked it
// or code set it (the screens rely on both); setting the same value fires nothing.
#pragma once

#include "toolkit/component.h"

namespace lembrete {

class TCheckBox : public Component {
  public:
    using Component::Component;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

  protected:
    void clicked() override;  // the user's click toggles

  private:
    bool checked_ = false;
};

}  // namespace lembrete
