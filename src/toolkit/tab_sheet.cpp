#include "toolkit/tab_sheet.h"

#include "toolkit/page_control.h"

namespace lembrete {

void TTabSheet::SetTabVisible(bool visible) {
    update(tabVisible_, visible, Property::Visible);
}

bool TTabSheet::shownItself() const {
    return Visible() && (pageControl_ == nullptr || pageControl_->ActivePage() == this);
}

}  // namespace lembrete
