#include "toolkit/bit_button.h"

namespace lembrete {

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    switch (kind) {
        case bkOK:
            SetCaption("OK");
            SetModalResult(mrOk);
            SetDefault(true);
            break;
        case bkCancel:
            SetCaption("Cancelar");
            SetModalResult(mrCancel);
            break;
        case bkHelp:
            SetCaption("Ajuda");
            SetModalResult(mrNone);
            break;
        case bkCustom:
            break;
    }
}

}  // namespace lembrete
