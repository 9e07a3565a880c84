#include "toolkit/page_control.h"

#include <algorithm>
#include <stdexcept>

namespace lembrete {

void TPageControl::AddPage(TTabSheet& page) {
    page.pageControl_ = this;
    pages_.push_back(&page);
    changed(Property::Items);
    if (activePage_ == nullptr) {
        SetActivePage(page);
    }
}

void TPageControl::SetActivePage(TTabSheet& page) {
    if (std::find(pages_.begin(), pages_.end(), &page) == pages_.end()) {
        throw std::invalid_argument(Name() + ": " + page.Name() + " não é uma de suas páginas");
    }
    if (activePage_ != &page) {
        activePage_ = &page;
        changed(Property::ActivePage);
    }
}

int TPageControl::ActivePageIndex() const {
    const auto found = std::find(pages_.begin(), pages_.end(), activePage_);
    return found == pages_.end() ? -1 : static_cast<int>(found - pages_.begin());
}

void TPageControl::SelectPage(TTabSheet& page) {
    if (!Interactive() || !page.TabVisible() || activePage_ == &page) {
        return;
    }
    userAction([&] {
        SetActivePage(page);
        OnChange.fire();
    });
}

}  // namespace lembrete
