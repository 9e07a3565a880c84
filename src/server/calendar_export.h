// CalendarExport: an operator's stored reminders as an iCalendar file (one VEVENT per row, see
// CalendarWriter), for the command line's export, the calendar feed and the client's export.
//
// The UID of a reminder is the same every time (reminder_uid.h), and the occurrences of one
// series name it in RELATED-TO. A reminder imported from a
// calendar file keeps the UID it came with (and, for one occurrence of a repeating event, its
// RECURRENCE-ID), so the program it came from knows it again. Times are written in the zone
// the caller names: the client's own for the client's export (reminders hold the local times
// of whoever entered them), the server's for the command line and the feed.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/date.h"
#include "interchange/calendar_entry.h"

namespace lembrete {

class StoreConnection;

struct ExportRange {
    std::optional<Date> from;  // first day; none: from the first reminder
    std::optional<Date> to;    // last day, included; none: to the last reminder
    // Only these reminder numbers (within the days above); none: every reminder.
    std::optional<std::set<std::string>> numbers;
};

class CalendarExport {
  public:
    static std::vector<CalendarEntry> entries(StoreConnection& connection,
                                              const std::string& operatorCode,
                                              const ExportRange& range);
    // `zoneName` as CalendarWriter takes it (an unknown zone throws std::invalid_argument).
    static std::string text(StoreConnection& connection, const std::string& operatorCode,
                            const ExportRange& range, const std::string& zoneName);
};

}  // namespace lembrete
