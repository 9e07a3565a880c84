// CalendarWriter: reminders out as an iCalendar (RFC 5545) file, through libical.
//
// One VEVENT per stored occurrence: UID (stable: the caller derives it from the reminder's
// key, or keeps the one it was imported with), RECURRENCE-ID for an entry that names its
// occurrence (an imported occurrence of a repeating event), DTSTAMP, DTSTART in the local zone with
// that zone's VTIMEZONE, SUMMARY, DESCRIPTION as plain text and the rich text in
// X-ALT-DESC;FMTTYPE=text/html, PRIORITY (see field_mapping.h), STATUS and a VALARM DISPLAY with a
// relative TRIGGER when the alarm is on.
//
// The occurrences of one series are tied by RELATED-TO;RELTYPE=SIBLING naming the series,
// one VEVENT each rather than one RRULE: every stored occurrence is a row of its own that can
// be moved, edited, marked done or deleted alone, and the rows are what is kept; an RRULE
// with EXDATEs and overrides would have to be rebuilt from them and could not say every
// difference.
//
// iCalendar has no "done" state for an event (VEVENT's STATUS is TENTATIVE, CONFIRMED or
// CANCELLED): every occurrence is CONFIRMED, and the state and the exact priority travel in
// X-LEMBRETE-SITUACAO ("P"/"R") and X-LEMBRETE-PRIORIDADE, which the reader takes back.
#pragma once

#include <string>
#include <vector>

#include "data/date.h"
#include "interchange/calendar_entry.h"

namespace lembrete {

class CalendarWriter {
  public:
    // `zoneName`: the zone the entries' local times are in (see localZoneName); an unknown
    // name throws std::invalid_argument. `stampUtc`: DTSTAMP of every event.
    CalendarWriter(const std::string& zoneName, DateTime stampUtc);

    std::string write(const std::vector<CalendarEntry>& entries) const;

  private:
    std::string zoneName_;
    DateTime stamp_;
};

}  // namespace lembrete
