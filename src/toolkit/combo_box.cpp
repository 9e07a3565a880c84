#include "toolkit/combo_box.h"

#include <algorithm>
#include <stdexcept>

namespace lembrete {

void TComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    changed(Property::Items);
    SetItemIndex(-1);
}

void TComboBox::setText(std::string text) {
    update(text_, std::move(text), Property::Text);
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        throw std::out_of_range(Name() + ": índice fora da lista: " + std::to_string(index));
    }
    if (itemIndex_ != index) {
        itemIndex_ = index;
        changed(Property::ItemIndex);
    }
    setText(index >= 0 ? items_[static_cast<std::size_t>(index)] : std::string());
}

void TComboBox::SelectItem(int index) {
    if (!Interactive() || index == itemIndex_) {
        return;
    }
    userAction([&] {
        SetItemIndex(index);
        OnChange.fire();
    });
}

void TComboBox::EnterText(std::string text) {
    if (!Interactive() || style_ != csDropDown || text == text_) {
        return;
    }
    userAction([&] {
        const auto found = std::find(items_.begin(), items_.end(), text);
        const int index = found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
        if (itemIndex_ != index) {
            itemIndex_ = index;
            changed(Property::ItemIndex);
        }
        setText(std::move(text));
        OnChange.fire();
    });
}

}  // namespace lembrete
