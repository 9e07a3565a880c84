// TPageControl: tabbed pages. Code setting ActivePage raises nothing, as with the real control;
// the user selecting a tab (SelectPage) fires OnChange after the switch. Sheets are components
// of the form; the page control only refers to them.
#pragma once

#include <vector>

#include "toolkit/component.h"
#include "toolkit/tab_sheet.h"

namespace lembrete {

class TPageControl : public Component {
  public:
    using Component::Component;

    void AddPage(TTabSheet& page);  // the first page added becomes active
    const std::vector<TTabSheet*>& Pages() const { return pages_; }
    TTabSheet* ActivePage() const { return activePage_; }
    // Throws std::invalid_argument for a sheet that is not one of the pages.
    void SetActivePage(TTabSheet& page);
    int ActivePageIndex() const;

    Event<> OnChange;

    // User clicks a tab; ignored for a hidden tab.
    void SelectPage(TTabSheet& page);

  private:
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
};

}  // namespace lembrete
