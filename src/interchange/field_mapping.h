// How the reminder's priority and alarm lead map to iCalendar's, both ways.
//
// Priority: the reminder's 0..999 against iCalendar's 0..9, where 0 is "undefined", 1 the
// highest and 9 the lowest. An empty or zero priority is undefined; 1..999 are spread evenly
// over 1..9 (1 → 1, 500 → 5, 999 → 9), keeping the order, and back 1..9 → 1, 126, 251 … 999.
// The exact value also travels in X-LEMBRETE-PRIORIDADE, which an import prefers.
//
// Alarm lead: a relative trigger of N seconds before the event becomes the nearest whole
// count of days, hours or minutes (the largest unit that states it exactly, else the
// smallest unit whose count fits 1..1000); a trigger at or after the event is "at the event".
#pragma once

#include <optional>
#include <string>

namespace lembrete::field_mapping {

int toCalendarPriority(const std::string& storedPriority);
std::string fromCalendarPriority(int calendarPriority);

struct Lead {
    std::optional<int> count;  // none: at the event
    std::string unit;          // "S", "M", "D" or "" (at the event)
    friend bool operator==(const Lead&, const Lead&) = default;
};

// Seconds before the event of a stored lead (0 for "at the event").
long long secondsBefore(const Lead& lead);
Lead leadFromSecondsBefore(long long seconds);

}  // namespace lembrete::field_mapping
