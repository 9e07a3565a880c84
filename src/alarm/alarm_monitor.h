// AlarmMonitor: the desktop's side of the alarms, without a screen: it polls the server, keeps
// the alarms that rang, tells which ring for the first time and whether the operator's
// reminders changed elsewhere, and sends the snoozes, dismissals and "done" marks.
//
// "Now" is the host's clock, so a test moves time by setting a fixed clock. A poll asks for the
// alarms due by now (GetAlarmesAFazer) and the change count (GetNrAlteracaoAFazer); the rung
// list is the poll's answer, so an alarm dismissed, snoozed or done on another desktop leaves it
// at the next poll. An alarm rings once per alarm time: polled again it is listed, not rung
// again; snoozed, it rings again when the snooze ends. The first poll sets the change count it
// compares with and never reports a change.
//
// Every call goes through `server` (the caller's; it must outlive the monitor); a failure throws
// AlarmCallError with the server's Portuguese message and changes nothing here.
// Single-threaded: the user-interface thread calls everything.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "alarm/alarm_time.h"
#include "data/app_server.h"
#include "data/date.h"

namespace lembrete {

class Clock;

class AlarmCallError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One alarm the alarm window lists.
struct RungAlarm {
    std::string number;     // NRATIVPESS
    std::string reference;  // DSREFEATPESS
    DateTime event;         // DTATIVPESS
    DateTime alarmTime;     // when it rang: the due time or a snooze's end
    friend bool operator==(const RungAlarm&, const RungAlarm&) = default;
};

class AlarmMonitor {
  public:
    AlarmMonitor(AppServer& server, std::string operatorCode, const Clock& clock);

    struct PollOutcome {
        std::vector<RungAlarm> newlyRung;  // in the order they rang
        bool remindersChanged = false;     // the change count moved since the last poll
    };
    PollOutcome Poll();

    // The rung alarms, in the order they rang.
    const std::vector<RungAlarm>& Alarms() const { return alarms_; }
    // The alarm of `number` in the list, or nullptr.
    const RungAlarm* Find(const std::string& number) const;

    void Snooze(const std::vector<std::string>& numbers, const SnoozeChoice& choice);
    void Dismiss(const std::vector<std::string>& numbers);
    void DismissAll();
    // Marks the reminders done (state "R", alarm "N", as the agenda does) through SetAfazer.
    void MarkDone(const std::vector<std::string>& numbers);

    // How far the event of `alarm` lies from now: "em 5 minutos", "há 2 horas".
    std::string EventDistance(const RungAlarm& alarm) const;

  private:
    Variant call(std::string_view method, const std::vector<Variant>& args);
    void setAlarm(const std::vector<std::string>& numbers, const Variant& snoozeUntil);
    void forget(const std::vector<std::string>& numbers);

    AppServer& server_;
    std::string operatorCode_;
    const Clock& clock_;
    std::vector<RungAlarm> alarms_;
    std::set<std::pair<std::string, DateTime>> rung_;  // (number, alarm time) already rung
    std::optional<std::int64_t> changeCount_;
};

}  // namespace lembrete
