#include "toolkit/button.h"

namespace lembrete {

void TButton::clicked() {
    OnClick.fire();
    if (modalResult_ != mrNone && Owner() != nullptr) {
        Owner()->SetModalResult(modalResult_);
    }
}

}  // namespace lembrete
