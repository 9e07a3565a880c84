// TMenuItem: an item of a main or pop-up menu: caption, check mark, shortcut ("Ctrl+H"), the
// items below it. Clicking it fires OnClick; TForm::PressShortCut clicks it by its shortcut.
// Sub-items are components of the same form; an item only refers to them.
#pragma once

#include <string>
#include <vector>

#include "toolkit/component.h"

namespace lembrete {

class TMenuItem : public Component {
  public:
    using Component::Component;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    const std::string& ShortCut() const { return shortCut_; }
    void SetShortCut(std::string shortCut);

    void Add(TMenuItem& item);
    const std::vector<TMenuItem*>& Items() const { return items_; }

  private:
    bool checked_ = false;
    std::string shortCut_;
    std::vector<TMenuItem*> items_;
};

// The roots of a form's menus: the main menu bar and a pop-up menu. Their items are added with
// Add; the roots themselves show no caption.
class TMainMenu : public TMenuItem {
  public:
    using TMenuItem::TMenuItem;
};

class TPopupMenu : public TMenuItem {
  public:
    using TMenuItem::TMenuItem;
};

}  // namespace lembrete
