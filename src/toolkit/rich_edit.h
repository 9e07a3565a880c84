// TRichEdit: a rich-text box. The text is the document as one string (the rich-text markup
// the description field stores); MaxLength counts its characters. The Qt layer renders it.
#pragma once

#include "toolkit/custom_edit.h"

namespace lembrete {

class TRichEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;
};

}  // namespace lembrete
