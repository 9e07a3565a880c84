// OccurrenceCursor walks the occurrences of a repetition rule in date order, from the first
// one on or after the series' start; occurrences() collects them up to an end date. Plain date
// arithmetic on std::chrono days, so a ten-year series costs microseconds. The cursor copies
// what it needs from the rule; the rule need not outlive it.
//
// Steps, per kind:
// - daily: start + N days (CodificaData's day overflow);
// - weekly: the first selected weekday on or after the start, then ProximoDiaSem;
// - monthly by date and yearly: the start's day number in every N-th month or year, clamped to
//   the month's last day, so a series never drifts (31 Jan, 29 Feb, 31 Mar ...);
// - monthly by weekday: the W-th such weekday of every N-th month, W = NumSemanaMes(start),
//   5 meaning the month's last such weekday.
#pragma once

#include <array>
#include <chrono>
#include <vector>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

class OccurrenceCursor {
  public:
    // Throws RecurrenceError for kind None and for a weekly rule with no weekday.
    OccurrenceCursor(const RecurrenceRule& rule, Date start);

    Date current() const { return Date(current_); }
    void advance();

    // An upper bound of the occurrences from current() to `end`, for reserving.
    std::size_t countBound(Date end) const;

  private:
    void placeInMonth();

    RecurrenceKind kind_;
    MonthlyMode monthlyMode_;
    int interval_;
    int selectedWeekdays_;
    std::chrono::sys_days current_;
    // Weekly: days to the next occurrence, by weekday 1..7 (index 0 unused).
    std::array<int, 8> weeklyStep_{};
    unsigned weekday_ = 0;  // of current_, 1..7, for the weekly steps
    // Monthly and yearly: the month of current_ and what the day is taken from.
    std::chrono::year_month month_;
    std::chrono::day day_;
    std::chrono::weekday_indexed weekdayOfMonth_;
};

// The occurrences from `start` to `end`, both inclusive, in date order; empty when the first
// occurrence is after the end. Throws as OccurrenceCursor.
std::vector<Date> occurrences(const RecurrenceRule& rule, Date start, Date end);
// The same up to the rule's last date (its end date, or openSeriesEnd(start)).
std::vector<Date> occurrences(const RecurrenceRule& rule, Date start);

}  // namespace lembrete
