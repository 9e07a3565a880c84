#include "recurrence/calendar_steps.h"

#include <stdexcept>

#include "recurrence/recurrence_error.h"

namespace lembrete {
namespace {

// The smallest selected weekday in from..7, or 0 when there is none.
int firstSelectedFrom(const RecurrenceRule& rule, int from) {
    for (int day = from; day <= 7; ++day) {
        if (rule.weekday(day)) {
            return day;
        }
    }
    return 0;
}

void requireWeekday(const RecurrenceRule& rule) {
    if (rule.selectedWeekdayCount() == 0) {
        throw RecurrenceError("regra semanal sem dia da semana");
    }
}

}  // namespace

Date CodificaData(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    using namespace std::chrono;
    if (month == 0) {
        throw std::invalid_argument("mês 0 não indica um mês");
    }
    year_month first = std::chrono::year{year} / January + months{month - 1};
    return Date(sys_days{first / 1} + days{day - 1});
}

bool AnoBisexto(int year) {
    return isLeapYear(year);
}

int NumSemanaMes(Date date) {
    return (date.day() + 6) / 7;
}

Date PrimeiroDiaSem(Date date, const RecurrenceRule& rule) {
    requireWeekday(rule);
    int w = date.weekday();
    int d = firstSelectedFrom(rule, w);
    return d != 0 ? date.addDays(d - w) : date.addDays(7 - w + firstSelectedFrom(rule, 1));
}

Date ProximoDiaSem(Date date, const RecurrenceRule& rule) {
    requireWeekday(rule);
    int w = date.weekday();
    if (w < 7) {
        if (int d = firstSelectedFrom(rule, w + 1); d != 0) {
            return date.addDays(d - w);
        }
    }
    return date.addDays(7 - w + firstSelectedFrom(rule, 1) + 7 * (rule.interval() - 1));
}

}  // namespace lembrete
