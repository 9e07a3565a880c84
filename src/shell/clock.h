// Clock: where the module reads "now" and "today". The client uses the system clock in local
// time; tests fix the clock so that nothing depends on the day they run.
#pragma once

#include "data/date.h"

namespace lembrete {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
    Date Today() const { return Now().date(); }
};

// The machine's local wall-clock time.
class SystemClock : public Clock {
  public:
    DateTime Now() const override { return DateTime::nowLocal(); }
};

}  // namespace lembrete
