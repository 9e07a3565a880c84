#include "toolkit/db_rich_edit.h"

namespace lembrete {

TDBRichEdit::TDBRichEdit(TForm* owner, std::string name)
    : TRichEdit(owner, std::move(name)), link_([this] { assign(link_.Value().toText()); }) {}

void TDBRichEdit::textChanged() {
    if (!ReadOnly()) {
        link_.Write(Variant(Text()));
    }
}

}  // namespace lembrete
