// When a reminder's alarm rings, and where a snooze ends.
//
// Everything is local wall time, as DTATIVPESS is kept: the due time is the event's date and
// time minus the lead, counted on the calendar and the clock face ("1 dia antes" of 08:00 is
// 08:00 the day before, however long that day was). A wall time that a clock change skips is
// reached when the clock jumps past it; one it repeats rings at its first pass only, because
// the alarm is rung once and then dismissed or snoozed to a later wall time.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "data/date.h"

namespace lembrete {

// The stored alarm fields of one reminder (codes as in ReminderRecord).
struct AlarmFields {
    DateTime event;              // DTATIVPESS
    std::string_view state;      // IDSITUATPESS: only "P" rings
    std::string_view alarm;      // IDALARATPESS: only "S" rings
    std::optional<double> lead;  // QTSEGUATPESS: null counts as no lead
    std::string_view unit;       // IDUNITATPESS: "S" minutes, "M" hours, "D" days, "" at event
};

// When the alarm is due; nullopt when it does not ring (alarm off, or the reminder done).
std::optional<DateTime> alarmDueTime(const AlarmFields& fields);

// `when` moved by `by` on the wall clock, across days as needed.
DateTime shiftedBy(const DateTime& when, std::chrono::milliseconds by);

// The snoozes the alarm window offers, shortest first.
struct SnoozeChoice {
    std::string_view caption;  // "5 minutos" .. "1 dia"
    std::chrono::minutes length;
};
inline constexpr SnoozeChoice kSnoozeChoices[] = {
    {"5 minutos", std::chrono::minutes(5)},   {"10 minutos", std::chrono::minutes(10)},
    {"15 minutos", std::chrono::minutes(15)}, {"30 minutos", std::chrono::minutes(30)},
    {"1 hora", std::chrono::hours(1)},        {"1 dia", std::chrono::hours(24)},
};

// Where a snooze of `choice` taken at `now` ends: the alarm rings again then.
DateTime snoozeEnd(const DateTime& now, const SnoozeChoice& choice);

}  // namespace lembrete
