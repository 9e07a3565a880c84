// TPanel: a captioned, coloured area; several screens use panels as clickable toggles whose
// colour is the state (a weekday panel is clRed when selected).
#pragma once

#include "toolkit/component.h"

namespace lembrete {

class TPanel : public Component {
  public:
    using Component::Component;
};

}  // namespace lembrete
