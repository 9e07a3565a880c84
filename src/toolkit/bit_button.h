// TBitBtn: a button with a glyph. Its Kind sets the usual caption and modal result: bkOK
// ("OK", mrOk), bkCancel ("Cancelar", mrCancel), bkHelp ("Ajuda", no result).
#pragma once

#include "toolkit/button.h"

namespace lembrete {

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp };

class TBitBtn : public TButton {
  public:
    using TButton::TButton;

    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);

  private:
    TBitBtnKind kind_ = bkCustom;
};

}  // namespace lembrete
