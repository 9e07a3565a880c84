#include "recurrence/occurrence_cursor.h"

#include <algorithm>

#include "recurrence/calendar_steps.h"
#include "recurrence/recurrence_error.h"

namespace lembrete {

using namespace std::chrono;

namespace {

// The shortest gap between two occurrences of a month or year step, for the reserve bound.
constexpr int kShortestMonth = 28;
constexpr int kShortestYear = 365;

detail::WeeklyStep weeklyStep(Date first, const RecurrenceRule& rule) {
    detail::WeeklyStep step{{}, rule.selectedWeekdayCount(), 0};
    Date from = first;
    for (int turn = 0; turn < step.count; ++turn) {
        Date next = ProximoDiaSem(from, rule);
        step.gaps[turn] = from.daysUntil(next);
        from = next;
    }
    return step;
}

detail::MonthStep monthStep(Date start, months interval) {
    const year_month_day ymd{start.sysDays()};
    return {static_cast<unsigned>(int{ymd.year()}) * 12 + unsigned{ymd.month()} - 1,
            static_cast<unsigned>(interval.count()), ymd.day()};
}

detail::WeekdayOfMonthStep weekdayOfMonthStep(Date start, months interval) {
    const year_month_day ymd{start.sysDays()};
    return {ymd.year() / ymd.month(), interval,
            weekday{start.sysDays()}[static_cast<unsigned>(NumSemanaMes(start))]};
}

}  // namespace

namespace detail {

sys_days WeekdayOfMonthStep::next(sys_days) {
    month += interval;
    return weekdayOfMonth.index() == 5
               ? sys_days{month.year() / month.month() / weekdayOfMonth.weekday()[last]}
               : sys_days{month.year() / month.month() / weekdayOfMonth};
}

}  // namespace detail

OccurrenceCursor::OccurrenceCursor(const RecurrenceRule& rule, Date start)
    : current_(start.sysDays()), gapDays_(rule.interval()) {
    switch (rule.kind()) {
        case RecurrenceKind::None:
            throw RecurrenceError("regra sem repetição");
        case RecurrenceKind::Daily:
            step_ = detail::DailyStep{days{rule.interval()}};
            break;
        case RecurrenceKind::Weekly: {
            Date first = PrimeiroDiaSem(start, rule);
            current_ = first.sysDays();
            step_ = weeklyStep(first, rule);
            gapDays_ = 7 * rule.interval();
            perGap_ = rule.selectedWeekdayCount();
            break;
        }
        case RecurrenceKind::Monthly:
            if (rule.monthlyMode() == MonthlyMode::ByWeekday) {
                step_ = weekdayOfMonthStep(start, months{rule.interval()});
            } else {
                step_ = monthStep(start, months{rule.interval()});
            }
            gapDays_ = kShortestMonth * rule.interval();
            break;
        case RecurrenceKind::Yearly:
            step_ = monthStep(start, years{rule.interval()});
            gapDays_ = kShortestYear * rule.interval();
            break;
    }
}

void OccurrenceCursor::advance() {
    current_ = std::visit([this](auto& step) { return step.next(current_); }, step_);
}

void OccurrenceCursor::collectUntil(Date end, std::vector<Date>& out) {
    // One dispatch per series; the loop runs on local copies the compiler keeps in registers.
    std::visit(
        [this, end = end.sysDays(), &out](auto& step) {
            auto local = step;
            auto at = current_;
            for (; at <= end; at = local.next(at)) {
                out.push_back(Date(at));
            }
            step = local;
            current_ = at;
        },
        step_);
}

std::size_t OccurrenceCursor::countBound(Date end) const {
    int span = Date(current_).daysUntil(end);
    return span < 0 ? 0 : static_cast<std::size_t>((span / gapDays_ + 1) * perGap_);
}

std::vector<Date> occurrences(const RecurrenceRule& rule, Date start, Date end) {
    OccurrenceCursor cursor(rule, start);
    std::vector<Date> dates;
    dates.reserve(cursor.countBound(end));
    cursor.collectUntil(end, dates);
    return dates;
}

std::vector<Date> occurrences(const RecurrenceRule& rule, Date start) {
    return occurrences(rule, start, rule.lastDate(start));
}

}  // namespace lembrete
