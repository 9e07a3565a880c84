// TTabSheet: one page of a TPageControl; the controls on it (their Parent) show only while it
// is the active page.
#pragma once

#include "toolkit/component.h"

namespace lembrete {

class TPageControl;

class TTabSheet : public Component {
  public:
    using Component::Component;

    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);
    TPageControl* PageControl() const { return pageControl_; }

  protected:
    bool shownItself() const override;

  private:
    friend class TPageControl;
    bool tabVisible_ = true;
    TPageControl* pageControl_ = nullptr;
};

}  // namespace lembrete
