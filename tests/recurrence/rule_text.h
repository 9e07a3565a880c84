// Test helpers: rules and date lists written the short way the reference tables use.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete::test {

inline Date day(std::string_view text) {
    auto date = Date::parse(text);
    if (!date) {
        throw std::invalid_argument("not a date: " + std::string(text));
    }
    return *date;
}

// "dd/mm/yyyy dd/mm/yyyy ..."
inline std::string render(const std::vector<Date>& dates) {
    std::string text;
    for (Date date : dates) {
        text += (text.empty() ? "" : " ") + date.format();
    }
    return text;
}

// kind code, interval, weekdays as digits ("26" = Monday and Friday), monthly mode.
inline RecurrenceRule rule(std::string_view kind, int interval, std::string_view weekdays = "",
                           MonthlyMode mode = MonthlyMode::ByDate) {
    RecurrenceRule r;
    r.setKind(recurrenceKindFromCode(kind).value());
    r.setInterval(interval);
    for (char c : weekdays) {
        r.setWeekday(c - '0', true);
    }
    r.setMonthlyMode(mode);
    return r;
}

}  // namespace lembrete::test
