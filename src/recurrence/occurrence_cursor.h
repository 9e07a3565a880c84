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

#include <algorithm>
#include <array>
#include <chrono>
#include <variant>
#include <vector>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {
namespace detail {

struct DailyStep {
    std::chrono::days interval;
    std::chrono::sys_days next(std::chrono::sys_days day) const { return day + interval; }
};

// The gaps between a weekly series' occurrences repeat after one per selected weekday, so they
// are taken from ProximoDiaSem once per series and replayed in turn.
struct WeeklyStep {
    std::array<int, 7> gaps;
    int count;
    int turn;
    std::chrono::sys_days next(std::chrono::sys_days day) {
        int gap = gaps[turn];
        turn = turn + 1 == count ? 0 : turn + 1;
        return day + std::chrono::days{gap};
    }
};

// Monthly and yearly (a year being twelve months): the day is placed anew in every month, from
// the start's day number, never from the previous occurrence. Inline, like the month's length
// it clamps to, so that the loop over a series compiles to plain arithmetic.
// The month is counted as year * 12 + month - 1, a positive whole number in registers: stepping
// std::chrono::year_month by a number of months that is not a constant divides in signed 64 bits.
struct MonthStep {
    unsigned monthCount;
    unsigned interval;  // in months
    std::chrono::day dayOfMonth;
    std::chrono::sys_days next(std::chrono::sys_days) {
        monthCount += interval;
        const std::chrono::year_month month{std::chrono::year{static_cast<int>(monthCount / 12)},
                                            std::chrono::month{monthCount % 12 + 1}};
        return std::chrono::sys_days{month /
                                     std::min(dayOfMonth, (month / std::chrono::last).day())};
    }
};

// Monthly by weekday: the start's weekday of the month in every N-th month.
struct WeekdayOfMonthStep {
    std::chrono::year_month month;
    std::chrono::months interval;
    std::chrono::weekday_indexed weekdayOfMonth;
    std::chrono::sys_days next(std::chrono::sys_days day);
};

}  // namespace detail

class OccurrenceCursor {
  public:
    // Throws RecurrenceError for kind None and for a weekly rule with no weekday.
    OccurrenceCursor(const RecurrenceRule& rule, Date start);

    Date current() const { return Date(current_); }
    void advance();

    // An upper bound of the occurrences from current() to `end`, for reserving.
    std::size_t countBound(Date end) const;

    // Appends current() and every later occurrence up to `end` (inclusive) to `out`, leaving
    // the cursor on the first occurrence after `end`.
    void collectUntil(Date end, std::vector<Date>& out);

  private:
    std::chrono::sys_days current_;
    std::variant<detail::DailyStep, detail::WeeklyStep, detail::MonthStep,
                 detail::WeekdayOfMonthStep>
        step_;
    // For countBound: at most `perGap_` occurrences in any `gapDays_` consecutive days.
    int gapDays_;
    int perGap_ = 1;
};

// The occurrences from `start` to `end`, both inclusive, in date order; empty when the first
// occurrence is after the end. Throws as OccurrenceCursor.
std::vector<Date> occurrences(const RecurrenceRule& rule, Date start, Date end);
// The same up to the rule's last date (its end date, or openSeriesEnd(start)).
std::vector<Date> occurrences(const RecurrenceRule& rule, Date start);

}  // namespace lembrete
