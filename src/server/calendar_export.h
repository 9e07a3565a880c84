// CalendarExport: an operator's stored reminders as an iCalendar file (one VEVENT per row, see
// CalendarWriter), for the command line's export, the calendar feed and the client's export.
//
// The UID of a reminder is "lembrete-OPERATOR-NUMBER", the same every time; the occurrences of
// one series name "lembrete-OPERATOR-serie-NUMBER" in RELATED-TO. Times are written in the
// server's local zone, in which the reminders are stored.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/date.h"
#include "interchange/calendar_entry.h"

namespace lembrete {

class StoreConnection;

struct ExportRange {
    std::optional<Date> from;  // first day; none: from the first reminder
    std::optional<Date> to;    // last day, included; none: to the last reminder
};

class CalendarExport {
  public:
    static std::vector<CalendarEntry> entries(StoreConnection& connection,
                                              const std::string& operatorCode,
                                              const ExportRange& range);
    static std::string text(StoreConnection& connection, const std::string& operatorCode,
                            const ExportRange& range);
};

}  // namespace lembrete
