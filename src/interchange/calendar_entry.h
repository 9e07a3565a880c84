// CalendarEntry: one reminder as it travels in and out of an iCalendar file, in the terms of
// the reminder record (local date and time, the record's codes), so that the writer, the
// reader and the code that turns rows into entries and back share one value.
#pragma once

#include <optional>
#include <string>

#include "data/date.h"

namespace lembrete {

struct CalendarEntry {
    // Identity: the event's UID and, for one occurrence of a repeating event, the occurrence's
    // start as the file names it (empty for an event that does not repeat). Together they say
    // whether an entry was imported before.
    std::string uid;
    std::string occurrence;
    // Entries with the same non-empty tie belong to one series (NRREPETATIVP when exported;
    // the UID of the repeating event or of the related series when imported).
    std::string series;

    std::string reference;
    DateTime start;  // local time
    bool done = false;
    bool alarm = false;
    std::optional<int> lead;  // 1..1000 units before the event; none: due at the event
    std::string unit;         // "S" minutes, "M" hours, "D" days, "" at the event
    std::string priority;     // as stored: "" or 0..999 as digits
    std::string description;  // the rich text as stored (HTML or plain text)
    // The stored rule of its series, as "FIELD=value" pairs of SeriesRecord joined by ";"
    // (IDTIPOREPET=D;NRINTERREPET=1;...); empty when the series has none or it is no series.
    std::string rule;

    friend bool operator==(const CalendarEntry&, const CalendarEntry&) = default;
};

}  // namespace lembrete
