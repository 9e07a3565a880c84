// FixedClock: a clock that says what the test tells it, so "today" never depends on the day
// the tests run.
#pragma once

#include "shell/clock.h"

namespace lembrete::testing {

class FixedClock : public Clock {
  public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime now) { now_ = now; }

  private:
    DateTime now_;
};

}  // namespace lembrete::testing
