// The names this product writes into iCalendar files beyond RFC 5545's own properties.
#pragma once

namespace lembrete::calendar_properties {

inline constexpr const char* kProductId = "-//Lembrete//Lembrete//PT-BR";
// The rich text of the description (a widely read extension property).
inline constexpr const char* kAltDescription = "X-ALT-DESC";
// The reminder's state, "P" pending or "R" done: VEVENT has no state for "done".
inline constexpr const char* kState = "X-LEMBRETE-SITUACAO";
// The reminder's exact priority, 0..999 or empty: PRIORITY keeps only ten steps.
inline constexpr const char* kExactPriority = "X-LEMBRETE-PRIORIDADE";
// The stored rule of the reminder's series (see CalendarEntry::rule), so that a series made in
// the editor is one with its rule again when imported.
inline constexpr const char* kSeriesRule = "X-LEMBRETE-REGRA";

}  // namespace lembrete::calendar_properties
