#include "toolkit/db_date_edit.h"

namespace lembrete {

TDBDateEdit::TDBDateEdit(TForm* owner, std::string name)
    : TDateEdit(owner, std::move(name)), link_([this] { load(); }) {}

void TDBDateEdit::load() {
    const Variant value = link_.Value();
    if (value.kind() == VariantKind::DateTime) {
        SetDate(value.asDateTime());
    } else {
        Clear();
    }
}

void TDBDateEdit::dateChanged() {
    const auto date = GetDate();
    link_.Write(date ? Variant(*date) : Variant());
}

}  // namespace lembrete
