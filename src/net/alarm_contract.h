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
//
// The names live with the desktop's caller of these calls (alarm/alarm_calls.h), which the
// headless core may include; both ends take them from there.
#pragma once

#include "alarm/alarm_calls.h"
