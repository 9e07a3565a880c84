// TComboBox: a drop-down list of Items with the selected ItemIndex (-1 = none) and Text.
//
// As the real control does, code changing ItemIndex raises no OnChange; the user picking an
// entry (SelectItem) or typing (csDropDown style only) does.
#pragma once

#include <string>
#include <vector>

#include "toolkit/component.h"

namespace lembrete {

enum TComboBoxStyle { csDropDown, csDropDownList };

class TComboBox : public Component {
  public:
    using Component::Component;

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);  // clears the selection
    int ItemIndex() const { return itemIndex_; }
    // Throws std::out_of_range outside -1..count-1.
    void SetItemIndex(int index);
    const std::string& Text() const { return text_; }
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style) { style_ = style; }

    Event<> OnChange;

    // User picks an entry (fires OnChange when the selection changes).
    void SelectItem(int index);
    // User types a text (csDropDown only): selects the equal item if any, fires OnChange.
    void EnterText(std::string text);

  private:
    void setText(std::string text);

    std::vector<std::string> items_;
    int itemIndex_ = -1;
    std::string text_;
    TComboBoxStyle style_ = csDropDownList;
};

}  // namespace lembrete
