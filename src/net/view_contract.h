// The calls of "lmb00300.rdmLembrete" behind the agenda's week and month views and its search
// over all dates, shared by the server and the desktop client.
//
//   GetAFazerPeriodo(reference, operator, firstDay, lastDay, showDone, showPending)
//       -> packet of ReminderRecord rows, exactly as GetAFazer returns them (HORARIO, DATA,
//          ordered by date-time, then number), for the days firstDay..lastDay (ISO dates, both
//          included, at most view_contract::kMaxRangeDays of them). The reference is matched
//          as by GetAFazer (a substring, letter case and accents ignored); showDone selects "R",
//          showPending "P", neither selects nothing. One call fills a whole week or month.
//   ProcurarAFazer(operator, text, afterDate, afterNumber)
//       -> packet of ReminderRecord rows of the operator whose reference or description
//          contains `text` (folded as the reference filter; the description's words, its markup
//          left out), newest first: date-time descending, then number descending, at most
//          view_contract::kSearchPageSize of them. The first page has afterDate and
//          afterNumber null; the next one passes the DTATIVPESS and NRATIVPESS of the last row
//          received. A page shorter than kSearchPageSize is the last; an empty text lists
//          every reminder.
//
// As every call, both read only the session's operator: another operator's code is refused
// and an empty one reads nothing. A range running backwards or longer than the bound, a text
// longer than view_contract::kMaxSearchText characters, or a number that is not one, is the
// error InvalidParams (or InvalidValue for the text), with a Portuguese message.
#pragma once

#include "data/view_calls.h"
