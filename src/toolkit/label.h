// TLabel: a caption on a form (the hidden screen-code label lblCodTela is one).
#pragma once

#include "toolkit/component.h"

namespace lembrete {

class TLabel : public Component {
  public:
    using Component::Component;
};

}  // namespace lembrete
