// ReminderService: the methods of "lmb00300.rdmLembrete", run against the store.
//
//   Login(operator, password)                         -> token (text); the code in any case,
//                                                        failures slowed down (LoginThrottle)
//   Logout()                                          -> true; the session ends
//   GetAFazer(reference, operator, date, showDone, showPending, fromDateOn)
//                                                     -> packet of ReminderRecord rows
//   GetDatasAFazer(operator[, from, to])              -> packet of DTATIVPESS, one per day
//                                                        (from `from` to `to` when given)
//   GetDescAFazer(operator, number), GetVerifObs(...)  -> packet [TXATIVPESS, CDOPERADOR,
//   NRATIVPESS] GetPrxAtivPessoal(operator)                       -> next reminder number (text)
//   GetPrxNrRepetAtivPess(operator)                   -> next repetition number (text)
//   GetPrxAtivPessoalBloco(operator, count)           -> first of `count` reserved numbers (text)
//   SetAfazer(delta), SetDescAFazer(delta)            -> number of changes applied (integer)
//   GetDescsAFazer(operator, numbers)                 -> the description rows (as GetDescAFazer) of
//                                                        the comma-separated reminders that have
//                                                        one
//   GetSerieAFazer(operator, series)                  -> packet of the series' ReminderRecord rows
//   GetRegraAFazer(operator, series)                  -> packet of its SeriesRecord row (or none)
//   SetSerieAFazer(reminders, descriptions, rule)     -> changes applied (integer): the three
//                                                        deltas in one transaction
//   GetChavesAFazer(operator)                         -> packet of ImportKeyRecord rows
//   SetImportAFazer(reminders, descriptions, keys[, rules])
//                                                     -> changes applied (integer): the
//                                                        deltas in one transaction; a stored
//                                                        reminder gets the inserted
//                                                        description in place of its old one
//   GetICalAFazer(operator, zone, from, to, numbers)  -> iCalendar text (CalendarExport): the
//                                                        reminders from `from` to `to` (dates,
//                                                        each null for no limit), only the
//                                                        comma-separated `numbers` unless null,
//                                                        times in `zone` ("America/Sao_Paulo";
//                                                        empty: the server's); an unknown zone
//                                                        is InvalidValue
//   GetCalendarioAFazer(operator)                     -> the feed's path "/calendario/TOKEN.ics"
//                                                        on this server, "" when it has none
//   SetCalendarioAFazer(operator)                     -> the path of a new feed token; the old
//                                                        token stops working (CalendarFeed)
//   GetAlarmesAFazer(operator, until), SetAlarmeAFazer(operator, number, snoozeUntil),
//   GetNrAlteracaoAFazer(operator)                    -> the alarm poll: net/alarm_contract.h
//   GetAFazerPeriodo(reference, operator, first, last, showDone, showPending),
//   ProcurarAFazer(operator, text, afterDate, afterNumber)
//                                                     -> the week and month views and the
//                                                        search: net/view_contract.h
//
// Names are matched regardless of letter case. Every method but Login needs the token of a
// live session; the operator argument must be the session's operator (an empty one reads
// nothing) and so must the CDOPERADOR of every delta row. Failures are thrown as RpcFailure.
// Thread-safe: each call leases its own connection; the marked-days and session caches are
// shared.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/json_codec.h"
#include "server/login_throttle.h"
#include "server/marked_days_cache.h"
#include "server/operator_accounts.h"
#include "server/session_cache.h"

namespace lembrete {

class SessionWatch;
class Store;

// Where a long result is written as it is read instead of being returned whole (the service
// decides which results are long enough); write() may throw ClientGone (reply_sink.h).
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void write(std::string_view piece) = 0;
};

class ReminderService {
  public:
    // On PostgreSQL, sessions are kept in a cache that a SessionWatch keeps true to the database.
    explicit ReminderService(Store& store, SessionPolicy policy = {});
    ~ReminderService();

    // The JSON text of the result; `params` are the call's positional arguments;
    // `clientAddress` is whom failed logins are counted against besides the operator. With a
    // sink, the head of a long result may have been written there: the text returned is its end.
    std::string call(std::string_view method, const std::vector<JsonValue>& params,
                     const std::string& token, const std::string& clientAddress = {},
                     ResultSink* sink = nullptr);

  private:
    Store& store_;
    SessionPolicy policy_;
    MarkedDaysCache markedDays_;
    LoginThrottle throttle_;
    SessionCache sessions_;
    std::unique_ptr<SessionWatch> sessionWatch_;  // after sessions_: it stops before they go
};

}  // namespace lembrete
