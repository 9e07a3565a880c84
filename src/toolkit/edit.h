// TEdit: a one-line edit box (the reference filter edtReferencia, the summary edtInfo).
#pragma once

#include "toolkit/custom_edit.h"

namespace lembrete {

class TEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;
};

}  // namespace lembrete
