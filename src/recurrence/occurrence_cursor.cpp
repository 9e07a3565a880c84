#include "recurrence/occurrence_cursor.h"

#include <algorithm>

#include "recurrence/calendar_steps.h"
#include "recurrence/recurrence_error.h"

namespace lembrete {

using namespace std::chrono;

namespace {

// The shortest gap between two occurrences of one step, for the reserve bound: a month step
// keeps at least 28 days, a year step at least 365.
constexpr int kShortestMonth = 28;
constexpr int kShortestYear = 365;

}  // namespace

OccurrenceCursor::OccurrenceCursor(const RecurrenceRule& rule, Date start)
    : kind_(rule.kind()),
      monthlyMode_(rule.monthlyMode()),
      interval_(rule.interval()),
      selectedWeekdays_(rule.selectedWeekdayCount()),
      current_(start.sysDays()) {
    year_month_day ymd{current_};
    month_ = ymd.year() / ymd.month();
    day_ = ymd.day();
    weekdayOfMonth_ = weekday{current_}[static_cast<unsigned>(NumSemanaMes(start))];
    switch (kind_) {
        case RecurrenceKind::None:
            throw RecurrenceError("regra sem repetição");
        case RecurrenceKind::Weekly: {
            Date first = PrimeiroDiaSem(start, rule);
            current_ = first.sysDays();
            weekday_ = static_cast<unsigned>(first.weekday());
            // ProximoDiaSem depends on the weekday only: tabulate it once for the week of the
            // first occurrence.
            for (int w = 1; w <= 7; ++w) {
                Date sameWeek = first.addDays(w - first.weekday());
                weeklyStep_[w] = sameWeek.daysUntil(ProximoDiaSem(sameWeek, rule));
            }
            break;
        }
        case RecurrenceKind::Daily:
        case RecurrenceKind::Monthly:
        case RecurrenceKind::Yearly:
            break;
    }
}

void OccurrenceCursor::advance() {
    switch (kind_) {
        case RecurrenceKind::Daily:
            current_ += days{interval_};
            break;
        case RecurrenceKind::Weekly: {
            int step = weeklyStep_[weekday_];
            current_ += days{step};
            weekday_ = (weekday_ - 1 + static_cast<unsigned>(step)) % 7 + 1;
            break;
        }
        case RecurrenceKind::Monthly:
            month_ += months{interval_};
            placeInMonth();
            break;
        case RecurrenceKind::Yearly:
            month_ += years{interval_};
            placeInMonth();
            break;
        case RecurrenceKind::None:
            break;
    }
}

void OccurrenceCursor::placeInMonth() {
    if (kind_ == RecurrenceKind::Monthly && monthlyMode_ == MonthlyMode::ByWeekday) {
        current_ = weekdayOfMonth_.index() == 5
                       ? sys_days{month_.year() / month_.month() / weekdayOfMonth_.weekday()[last]}
                       : sys_days{month_.year() / month_.month() / weekdayOfMonth_};
        return;
    }
    auto length = static_cast<unsigned>(
        daysInMonth(int{month_.year()}, static_cast<int>(unsigned{month_.month()})));
    current_ = sys_days{month_ / std::min(day_, day{length})};
}

std::size_t OccurrenceCursor::countBound(Date end) const {
    int span = Date(current_).daysUntil(end);
    if (span < 0) {
        return 0;
    }
    int gap = interval_;
    int perGap = 1;
    switch (kind_) {
        case RecurrenceKind::Weekly:
            gap = 7 * interval_;
            perGap = selectedWeekdays_;
            break;
        case RecurrenceKind::Monthly:
            gap = kShortestMonth * interval_;
            break;
        case RecurrenceKind::Yearly:
            gap = kShortestYear * interval_;
            break;
        case RecurrenceKind::Daily:
        case RecurrenceKind::None:
            break;
    }
    return static_cast<std::size_t>((span / gap + 1) * perGap);
}

std::vector<Date> occurrences(const RecurrenceRule& rule, Date start, Date end) {
    OccurrenceCursor cursor(rule, start);
    std::vector<Date> dates;
    dates.reserve(cursor.countBound(end));
    for (; cursor.current() <= end; cursor.advance()) {
        dates.push_back(cursor.current());
    }
    return dates;
}

std::vector<Date> occurrences(const RecurrenceRule& rule, Date start) {
    return occurrences(rule, start, rule.lastDate(start));
}

}  // namespace lembrete
