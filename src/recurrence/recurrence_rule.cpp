#include "recurrence/recurrence_rule.h"

#include <array>
#include <bit>
#include <stdexcept>
#include <string>

namespace lembrete {
namespace {

constexpr std::array<std::pair<RecurrenceKind, std::string_view>, 5> kCodes = {{
    {RecurrenceKind::None, "N"},
    {RecurrenceKind::Daily, "D"},
    {RecurrenceKind::Weekly, "S"},
    {RecurrenceKind::Monthly, "M"},
    {RecurrenceKind::Yearly, "A"},
}};

}  // namespace

std::optional<RecurrenceKind> recurrenceKindFromCode(std::string_view code) {
    for (const auto& [kind, text] : kCodes) {
        if (text == code) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string_view recurrenceKindCode(RecurrenceKind kind) {
    return kCodes[static_cast<std::size_t>(kind)].second;
}

Date openSeriesEnd(Date start) {
    using namespace std::chrono;
    return Date(sys_days{year{start.year() + kOpenSeriesYears} / December / 31});
}

void RecurrenceRule::setInterval(int interval) {
    if (interval < kMinInterval || interval > kMaxInterval) {
        throw std::out_of_range("intervalo fora de 1..99: " + std::to_string(interval));
    }
    interval_ = interval;
}

std::uint8_t RecurrenceRule::bit(int day) {
    if (day < 1 || day > 7) {
        throw std::out_of_range("dia da semana fora de 1..7: " + std::to_string(day));
    }
    return static_cast<std::uint8_t>(1u << (day - 1));
}

bool RecurrenceRule::weekday(int day) const {
    return (weekdays_ & bit(day)) != 0;
}

void RecurrenceRule::setWeekday(int day, bool selected) {
    weekdays_ = static_cast<std::uint8_t>(selected ? weekdays_ | bit(day) : weekdays_ & ~bit(day));
}

void RecurrenceRule::toggleWeekday(int day) {
    weekdays_ ^= bit(day);
}

int RecurrenceRule::selectedWeekdayCount() const {
    return std::popcount(weekdays_);
}

Date RecurrenceRule::lastDate(Date start) const {
    return endDate_.value_or(openSeriesEnd(start));
}

}  // namespace lembrete
