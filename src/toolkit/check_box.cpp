#include "toolkit/check_box.h"

namespace lembrete {

void TCheckBox::SetChecked(bool checked) {
    if (checked_ == checked) {
        return;
    }
    checked_ = checked;
    changed(Property::Checked);
    OnClick.fire();
}

void TCheckBox::clicked() {
    SetChecked(!checked_);
}

}  // namespace lembrete
