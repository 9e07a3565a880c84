#include "recurrence/rule_inference.h"

#include <functional>

#include "recurrence/occurrence_cursor.h"

namespace lembrete {
namespace {

int monthsBetween(Date from, Date to) {
    return (to.year() - from.year()) * 12 + (to.month() - from.month());
}

// The Sunday that starts the week of `day`.
Date weekStart(Date day) {
    return day.addDays(1 - day.weekday());
}

std::optional<RecurrenceRule> ruleOf(RecurrenceKind kind, int interval,
                                     const std::function<void(RecurrenceRule&)>& adjust = {}) {
    if (interval < RecurrenceRule::kMinInterval || interval > RecurrenceRule::kMaxInterval) {
        return std::nullopt;
    }
    RecurrenceRule rule;
    rule.setKind(kind);
    rule.setInterval(interval);
    if (adjust) {
        adjust(rule);
    }
    return rule;
}

}  // namespace

std::optional<RecurrenceRule> inferRule(const std::vector<Date>& dates) {
    if (dates.size() < 2) {
        return std::nullopt;
    }
    const Date first = dates.front();
    const Date second = dates[1];
    const int gap = first.daysUntil(second);
    if (gap <= 0) {
        return std::nullopt;
    }
    // Weeks from the first date's week to the first date in another week.
    int weeks = 1;
    for (const Date day : dates) {
        if (weekStart(day) != weekStart(first)) {
            weeks = weekStart(first).daysUntil(weekStart(day)) / 7;
            break;
        }
    }
    const auto weekly = ruleOf(RecurrenceKind::Weekly, weeks, [&](RecurrenceRule& rule) {
        for (const Date day : dates) {
            rule.setWeekday(day.weekday(), true);
        }
    });
    const auto daily = ruleOf(RecurrenceKind::Daily, gap);
    std::vector<std::optional<RecurrenceRule>> readings = {
        ruleOf(RecurrenceKind::Yearly, second.year() - first.year()),
        ruleOf(RecurrenceKind::Monthly, monthsBetween(first, second)),
        ruleOf(RecurrenceKind::Monthly, monthsBetween(first, second),
               [](RecurrenceRule& rule) { rule.setMonthlyMode(MonthlyMode::ByWeekday); }),
    };
    if (gap % 7 == 0) {
        readings.insert(readings.end(), {weekly, daily});
    } else {
        readings.insert(readings.end(), {daily, weekly});
    }
    for (std::optional<RecurrenceRule>& reading : readings) {
        if (!reading) {
            continue;
        }
        reading->setEndDate(dates.back());
        if (occurrences(*reading, first) == dates) {
            return reading;
        }
    }
    return std::nullopt;
}

}  // namespace lembrete
