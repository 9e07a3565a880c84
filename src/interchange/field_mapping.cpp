#include "interchange/field_mapping.h"

#include <algorithm>
#include <cmath>

#include "data/reminder_record.h"

namespace lembrete::field_mapping {
namespace {

using R = ReminderRecord;

constexpr long long kMinute = 60;
constexpr long long kHour = 60 * kMinute;
constexpr long long kDay = 24 * kHour;

long long unitSeconds(const std::string& unit) {
    if (unit == R::kUnitDays) {
        return kDay;
    }
    if (unit == R::kUnitHours) {
        return kHour;
    }
    return unit == R::kUnitMinutes ? kMinute : 0;
}

}  // namespace

int toCalendarPriority(const std::string& storedPriority) {
    if (!R::isStoredPriority(storedPriority) || storedPriority.empty()) {
        return 0;
    }
    const int priority = std::stoi(storedPriority);
    if (priority == 0) {
        return 0;
    }
    return 1 + static_cast<int>(std::lround((priority - 1) * 8.0 / (R::kMaxPriority - 1)));
}

std::string fromCalendarPriority(int calendarPriority) {
    if (calendarPriority < 1 || calendarPriority > 9) {
        return "";
    }
    return std::to_string(1 + std::lround((calendarPriority - 1) * (R::kMaxPriority - 1) / 8.0));
}

long long secondsBefore(const Lead& lead) {
    return lead.count ? *lead.count * unitSeconds(lead.unit) : 0;
}

Lead leadFromSecondsBefore(long long seconds) {
    if (seconds <= 0) {
        return {std::nullopt, std::string(R::kUnitAtEvent)};
    }
    struct Unit {
        std::string_view code;
        long long seconds;
    };
    constexpr Unit kUnits[] = {
        {R::kUnitDays, kDay}, {R::kUnitHours, kHour}, {R::kUnitMinutes, kMinute}};
    for (const auto& unit : kUnits) {
        if (seconds % unit.seconds == 0 && seconds / unit.seconds <= R::kMaxLead) {
            return {static_cast<int>(seconds / unit.seconds), std::string(unit.code)};
        }
    }
    for (auto it = std::rbegin(kUnits); it != std::rend(kUnits); ++it) {
        const long long count = std::llround(static_cast<double>(seconds) / it->seconds);
        if (count <= R::kMaxLead) {
            return {static_cast<int>(std::max<long long>(count, R::kMinLead)),
                    std::string(it->code)};
        }
    }
    return {R::kMaxLead, std::string(R::kUnitDays)};
}

}  // namespace lembrete::field_mapping
