// inferRule: the rule a series stored without one follows, as far as its dates tell.
//
// A few readings of the dates are tried, each checked by generating its occurrences from the
// first date to the last and comparing them with the dates: yearly, monthly by day of month,
// monthly by weekday, weekly on the weekdays the dates fall on, daily every N days (with the
// first gap a whole number of weeks, weekly is tried before daily). The first that reproduces
// every date exactly is the rule, ending on the last date; none when no reading fits (a series
// edited row by row, or of one occurrence).
#pragma once

#include <optional>
#include <vector>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

// `dates` in ascending order, one per occurrence.
std::optional<RecurrenceRule> inferRule(const std::vector<Date>& dates);

}  // namespace lembrete
