// HourGlass: the hourglass cursor for a scope.
#pragma once

#include "shell/host_services.h"

namespace lembrete {

// Sets the hourglass (crHourGlass) for a scope and puts the default cursor back at its end, also
// when the scope ends by an exception.
class HourGlass {
  public:
    explicit HourGlass(HostServices& host) : host_(host) { host_.SetScreenCursor(crHourGlass); }
    ~HourGlass() { host_.SetScreenCursor(crDefault); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;

  private:
    HostServices& host_;
};

}  // namespace lembrete
