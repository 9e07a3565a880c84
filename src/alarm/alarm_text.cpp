#include "alarm/alarm_text.h"

#include <chrono>

namespace lembrete {
namespace {

using namespace std::chrono;

std::string count(long long value, const char* singular, const char* plural) {
    return std::to_string(value) + " " + (value == 1 ? singular : plural);
}

sys_time<milliseconds> instant(const DateTime& when) {
    return sys_time<milliseconds>(when.date().sysDays()) + when.timeOfDay();
}

}  // namespace

std::string relativeTimeText(const DateTime& when, const DateTime& now) {
    const auto gap = instant(when) - instant(now);
    const auto distance = gap < milliseconds(0) ? -gap : gap;
    std::string amount;
    if (distance < minutes(1)) {
        return "agora";
    }
    if (distance < hours(1)) {
        amount = count(duration_cast<minutes>(distance).count(), "minuto", "minutos");
    } else if (distance < days(1)) {
        amount = count(duration_cast<hours>(distance).count(), "hora", "horas");
    } else {
        amount = count(duration_cast<days>(distance).count(), "dia", "dias");
    }
    return (gap > milliseconds(0) ? "em " : "há ") + amount;
}

}  // namespace lembrete
