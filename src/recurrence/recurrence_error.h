// The failure raised when a repetition rule cannot be expanded into occurrences (a weekly rule
// with no weekday, a rule of no kind). The editor validates before it generates, so reaching
// this is a caller's mistake, not a user's.
#pragma once

#include <stdexcept>

namespace lembrete {

class RecurrenceError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace lembrete
