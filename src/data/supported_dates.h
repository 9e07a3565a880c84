// The dates the product supports, one range for everything that picks or steps a date (the
// agenda's day and month steps, the go-to-day dialog).
#pragma once

#include "data/date.h"

namespace lembrete {

inline const Date kFirstSupportedDate =
    Date(std::chrono::sys_days{std::chrono::year{2000} / 1 / 1});
inline const Date kLastSupportedDate =
    Date(std::chrono::sys_days{std::chrono::year{2099} / 12 / 31});

}  // namespace lembrete
