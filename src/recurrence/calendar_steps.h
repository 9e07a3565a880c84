// The calendar helpers the occurrence generation steps with: building a date from parts that
// may overflow, the leap-year test, the week of the month, and the weekly step between the
// selected weekdays of a rule. Stateless functions; the rule is passed in.
#pragma once

#include <cstdint>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

// The date lying (day - 1) days after the first day of that month of that year; a month above
// 12 counts on into the following years (13 = January of year + 1). (2007, 2, 31) gives
// 3 March 2007. Throws std::invalid_argument for month 0.
Date CodificaData(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// The Gregorian rule, as everywhere in the product.
bool AnoBisexto(int year);

// The week of the month the date falls in, counted from its first day: days 1-7 give 1,
// 8-14 give 2 ... 29-31 give 5.
int NumSemanaMes(Date date);

// The first weekday selected in the rule on or after `date`. Throws RecurrenceError when the
// rule selects no weekday.
Date PrimeiroDiaSem(Date date, const RecurrenceRule& rule);

// The next weekly occurrence after `date`: the next selected weekday of the same week (weeks
// run Sunday to Saturday), else the first selected weekday of the week `interval` weeks later.
// Throws RecurrenceError when the rule selects no weekday.
Date ProximoDiaSem(Date date, const RecurrenceRule& rule);

}  // namespace lembrete
