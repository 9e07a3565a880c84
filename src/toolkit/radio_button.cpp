#include "toolkit/radio_button.h"

#include "toolkit/form.h"

namespace lembrete {

void TRadioButton::setState(bool checked) {
    update(checked_, checked, Property::Checked);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked_ == checked) {
        return;
    }
    if (checked && Owner() != nullptr) {
        for (Component* other : Owner()->Components()) {
            auto* radio = dynamic_cast<TRadioButton*>(other);
            if (radio != nullptr && radio != this && radio->group_ == group_) {
                radio->setState(false);
            }
        }
    }
    setState(checked);
    if (checked) {
        OnClick.fire();
    }
}

void TRadioButton::clicked() {
    SetChecked(true);
}

}  // namespace lembrete
