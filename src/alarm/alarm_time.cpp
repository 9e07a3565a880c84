#include "alarm/alarm_time.h"

#include <cmath>

#include "data/reminder_record.h"

namespace lembrete {
namespace {

using std::chrono::milliseconds;

std::chrono::minutes unitLength(std::string_view unit) {
    if (unit == ReminderRecord::kUnitMinutes) {
        return std::chrono::minutes(1);
    }
    if (unit == ReminderRecord::kUnitHours) {
        return std::chrono::hours(1);
    }
    if (unit == ReminderRecord::kUnitDays) {
        return std::chrono::hours(24);
    }
    return std::chrono::minutes(0);
}

}  // namespace

std::optional<DateTime> alarmDueTime(const AlarmFields& fields) {
    if (fields.alarm != ReminderRecord::kAlarmOn || fields.state != ReminderRecord::kPending) {
        return std::nullopt;
    }
    const double units = fields.lead.value_or(0.0);
    const auto lead = milliseconds(
        std::llround(units * static_cast<double>(milliseconds(unitLength(fields.unit)).count())));
    return shiftedBy(fields.event, -lead);
}

DateTime shiftedBy(const DateTime& when, milliseconds by) {
    // On the wall clock every day has 24 hours: the sum is plain arithmetic on sys_days.
    const auto moved =
        std::chrono::sys_time<milliseconds>(when.date().sysDays()) + when.timeOfDay() + by;
    const auto day = std::chrono::floor<std::chrono::days>(moved);
    return DateTime(Date(day), moved - day);
}

DateTime snoozeEnd(const DateTime& now, const SnoozeChoice& choice) {
    return shiftedBy(now, choice.length);
}

}  // namespace lembrete
