#include "toolkit/menu_item.h"

namespace lembrete {

void TMenuItem::SetChecked(bool checked) {
    update(checked_, checked, Property::Checked);
}

void TMenuItem::SetShortCut(std::string shortCut) {
    update(shortCut_, std::move(shortCut), Property::ShortCut);
}

void TMenuItem::Add(TMenuItem& item) {
    items_.push_back(&item);
    changed(Property::Items);
}

}  // namespace lembrete
