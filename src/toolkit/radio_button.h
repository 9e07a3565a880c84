// TRadioButton: one choice of a group. Checking it unchecks the other radio buttons of the
// same form and group (the group stands for the container the buttons share). OnClick fires
// when it becomes checked, by the user or by code.
#pragma once

#include <string>

#include "toolkit/component.h"

namespace lembrete {

class TRadioButton : public Component {
  public:
    using Component::Component;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    const std::string& Group() const { return group_; }
    void SetGroup(std::string group) { group_ = std::move(group); }

  protected:
    void clicked() override;  // the user's click checks it

  private:
    void setState(bool checked);

    bool checked_ = false;
    std::string group_;
};

}  // namespace lembrete
