// The names and bounds of the server calls behind the week and month views and the search over
// all dates; the wire contract (arguments, results, order) is net/view_contract.h.
#pragma once

namespace lembrete::view_contract {

inline constexpr const char* kGetRange = "GetAFazerPeriodo";
inline constexpr const char* kSearch = "ProcurarAFazer";

// The longest range one GetAFazerPeriodo reads: a year and a day, well over a month view's six
// weeks, so that one reply stays bounded.
inline constexpr int kMaxRangeDays = 367;
// The most rows one ProcurarAFazer reply holds.
inline constexpr int kSearchPageSize = 50;
// The longest search text, that of the reference filter.
inline constexpr int kMaxSearchText = 100;

}  // namespace lembrete::view_contract
