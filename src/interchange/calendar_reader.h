// CalendarReader: an iCalendar (RFC 5545) file in, as the reminders it would become, through
// libical. Nothing is written here: the result is what the import preview shows and what the
// importer stores.
//
// VEVENT and VTODO (start from DTSTART, a to-do without one from DUE) in any zone, floating or
// all-day (all-day: 00:00), converted to the local zone. RRULE, RDATE and EXDATE are expanded
// with libical's recurrence iterator; a rule without COUNT or UNTIL runs to the horizon of a
// series with no end date (31 December of the tenth year after its start). A VEVENT with a
// RECURRENCE-ID replaces the occurrence it names. SUMMARY, DESCRIPTION (or the rich text of
// X-ALT-DESC), PRIORITY, the state and the first VALARM's trigger are taken over.
//
// An occurrence outside the supported dates, a cancelled event, one with no usable start or
// in an unknown zone is refused with its reason; a reference longer than a reminder's is kept
// whole and flagged, for the importer to cut or refuse as the user chooses. A file that is not
// an iCalendar text at all (empty, binary, too large, broken, with nothing to import) throws
// CalendarFileError with a message for the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/calendar_entry.h"

namespace lembrete {

class CalendarFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CalendarRefusal {
    std::string event;   // the event's summary and start, as the user knows it
    std::string reason;  // Portuguese
    int count = 1;       // occurrences refused for this reason
};

struct CalendarContents {
    std::vector<CalendarEntry> entries;       // sorted by start, then UID and occurrence
    std::vector<std::size_t> longReferences;  // indexes into `entries`
    std::vector<CalendarRefusal> refused;
};

class CalendarReader {
  public:
    static constexpr std::size_t kMaxFileBytes = 20u << 20;
    static constexpr std::size_t kMaxEntries = 100'000;

    // `zoneName`: the local zone the entries' times are given in.
    explicit CalendarReader(std::string zoneName) : zoneName_(std::move(zoneName)) {}

    CalendarContents read(std::string_view text) const;

    // Throws CalendarFileError when a file of `bytes` is too large to import; read() checks
    // it too, this lets a caller refuse a file before reading it.
    static void checkSize(std::uintmax_t bytes);

  private:
    std::string zoneName_;
};

}  // namespace lembrete
