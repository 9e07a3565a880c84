// The alarm calls of "lmb00300.rdmLembrete", shared by the server and the desktop client.
//
//   GetAlarmesAFazer(operator, until)            -> packet, ordered by DTALARME then number:
//       CDOPERADOR, NRATIVPESS, DSREFEATPESS, DTATIVPESS, DTALARME
//     the operator's alarms due at or before `until` (ISO local date-time) that are neither
//     dismissed nor snoozed past it; DTALARME is the due time, or where the snooze ends.
//   SetAlarmeAFazer(operator, number, snoozeUntil) -> 1 when the alarm was changed, 0 when the
//     reminder no longer rings (done, alarm off); snoozeUntil an ISO date-time, or null to
//     dismiss. A number the operator does not have is the error InvalidValue.
//   GetNrAlteracaoAFazer(operator)               -> integer: the operator's change count,
//     raised by every SetAfazer that changed a reminder; a client that sees it move reloads
//     its agenda. Polled together with GetAlarmesAFazer.
//
// The server keeps one alarm time per reminder: the due time, moved by a snooze, cleared by a
// dismissal, the reminder being done or its alarm turned off, and computed again whenever a
// change of SetAfazer alters its date and time, state, alarm, lead or unit (so an edit arms it
// again). Deleting a reminder drops it with the row.
#pragma once

namespace lembrete::alarm_contract {

inline constexpr const char* kGetAlarms = "GetAlarmesAFazer";
inline constexpr const char* kSetAlarm = "SetAlarmeAFazer";
inline constexpr const char* kGetChangeCount = "GetNrAlteracaoAFazer";

// The one field of the alarm packet that is not a reminder column.
inline constexpr const char* kAlarmTimeField = "DTALARME";

}  // namespace lembrete::alarm_contract
