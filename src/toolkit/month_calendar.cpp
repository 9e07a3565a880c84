#include "toolkit/month_calendar.h"

#include <stdexcept>

namespace lembrete {

lembrete::Date TMonthCalendar::clamped(lembrete::Date day) const {
    if (minDate_ && day < *minDate_) {
        return *minDate_;
    }
    if (maxDate_ && day > *maxDate_) {
        return *maxDate_;
    }
    return day;
}

bool TMonthCalendar::Selectable(lembrete::Date day) const {
    return clamped(day) == day;
}

void TMonthCalendar::SetDate(lembrete::Date day) {
    day = clamped(day);
    if (date_ != day) {
        date_ = day;
        changed(Property::Date);
    }
}

void TMonthCalendar::SetRange(std::optional<lembrete::Date> minDate,
                              std::optional<lembrete::Date> maxDate) {
    if (minDate && maxDate && *minDate > *maxDate) {
        throw std::invalid_argument(Name() + ": data mínima depois da máxima");
    }
    minDate_ = minDate;
    maxDate_ = maxDate;
    changed(Property::Range);
    SetDate(date_);
}

void TMonthCalendar::SetFirstDayOfWeek(int weekday) {
    if (weekday < 1 || weekday > 7) {
        throw std::out_of_range(Name() + ": dia da semana fora de 1..7");
    }
    firstDayOfWeek_ = weekday;
}

bool TMonthCalendar::PickDate(lembrete::Date day) {
    if (!Interactive() || !Selectable(day)) {
        return false;
    }
    userAction([&] {
        SetDate(day);
        OnClick.fire();
    });
    return true;
}

void TMonthCalendar::DoubleClick() {
    if (Interactive()) {
        userAction([this] { OnDblClick.fire(); });
    }
}

}  // namespace lembrete
