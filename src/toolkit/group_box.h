// TGroupBox: a captioned frame around related controls.
#pragma once

#include "toolkit/component.h"

namespace lembrete {

class TGroupBox : public Component {
  public:
    using Component::Component;
};

}  // namespace lembrete
