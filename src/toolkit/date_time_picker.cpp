#include "toolkit/date_time_picker.h"

#include <stdexcept>

namespace lembrete {

void TDateTimePicker::SetDateTime(DateTime value) {
    if (value_ == value) {
        return;
    }
    value_ = value;
    changed(kind_ == dtkTime ? Property::Time : Property::Date);
    OnChange.fire();
}

void TDateTimePicker::SetTime(std::chrono::milliseconds timeOfDay) {
    if (timeOfDay < std::chrono::milliseconds::zero() || timeOfDay >= std::chrono::days(1)) {
        throw std::invalid_argument(Name() + ": hora fora do dia");
    }
    SetDateTime(value_.withTime(timeOfDay));
}

std::string TDateTimePicker::Text() const {
    return kind_ == dtkTime ? value_.formatTime() : value_.date().format();
}

bool TDateTimePicker::EnterText(std::string_view text) {
    if (!Interactive()) {
        return false;
    }
    if (kind_ == dtkDate) {
        const auto day = lembrete::Date::parse(text);
        if (!day) {
            return false;
        }
        userAction([&] { SetDateTime(value_.withDate(*day)); });
        return true;
    }
    // Read the time through a full date-time on the same day, so one parser serves both.
    const auto parsed = DateTime::parse(value_.date().format() + " " + std::string(text));
    if (!parsed) {
        return false;
    }
    userAction([&] { SetTime(parsed->timeOfDay()); });
    return true;
}

}  // namespace lembrete
