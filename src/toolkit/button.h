// TButton: a push button. A click fires OnClick and then, when the button has a ModalResult
// and the handler was not abandoned, hands that result to its form (closing a modal dialog):
// an input error shown by a handler therefore leaves the dialog open.
#pragma once

#include "toolkit/component.h"
#include "toolkit/form.h"

namespace lembrete {

class TButton : public Component {
  public:
    using Component::Component;

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    bool Default() const { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }

  protected:
    void clicked() override;

  private:
    TModalResult modalResult_ = mrNone;
    bool default_ = false;
};

}  // namespace lembrete
