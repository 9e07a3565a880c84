#include "data/date.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace lembrete {
namespace {

using namespace std::chrono;

constexpr sys_days kDayZero = sys_days{year{1899} / December / 30};
constexpr std::int64_t kMillisPerDay = 24LL * 60 * 60 * 1000;

// Appends `value` zero-padded to `width` digits, then `separator` (none when 0), as
// "%0*u" would: every date on the wire goes through here, and snprintf was slow enough to show.
void appendPadded(std::string& text, unsigned value, int width, char separator = 0) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    text.append(static_cast<std::size_t>(std::max<long>(0, width - (end - buffer))), '0');
    text.append(buffer, end);
    if (separator) {
        text.push_back(separator);
    }
}

// Reads exactly `width` decimal digits at `pos`, advancing it; nullopt otherwise.
std::optional<int> digits(std::string_view text, std::size_t& pos, std::size_t width) {
    if (pos + width > text.size()) {
        return std::nullopt;
    }
    // from_chars would also take a minus sign ("-1" in a two-digit field).
    int value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    pos += width;
    return value;
}

bool expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

std::optional<Date> makeDate(int y, int m, int d) {
    year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return Date(sys_days{ymd});
}

// Parses the date at the start of `text` in either form, leaving `pos` after it.
std::optional<Date> parseDatePart(std::string_view text, std::size_t& pos) {
    std::size_t p = pos;
    if (auto d = digits(text, p, 2); d && expect(text, p, '/')) {
        auto m = digits(text, p, 2);
        if (!m || !expect(text, p, '/')) {
            return std::nullopt;
        }
        auto y = digits(text, p, 4);
        if (!y) {
            return std::nullopt;
        }
        pos = p;
        return makeDate(*y, *m, *d);
    }
    p = pos;
    auto y = digits(text, p, 4);
    if (!y || !expect(text, p, '-')) {
        return std::nullopt;
    }
    auto m = digits(text, p, 2);
    if (!m || !expect(text, p, '-')) {
        return std::nullopt;
    }
    auto d = digits(text, p, 2);
    if (!d) {
        return std::nullopt;
    }
    pos = p;
    return makeDate(*y, *m, *d);
}

}  // namespace

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) {
        throw std::invalid_argument("mês inválido: " + std::to_string(m));
    }
    return m == 2 && isLeapYear(y) ? 29 : kLengths[m - 1];
}

Date Date::fromParts(std::uint16_t y, std::uint16_t m, std::uint16_t d) {
    auto date = makeDate(y, m, d);
    if (!date) {
        char text[32];
        std::snprintf(text, sizeof text, "%02u/%02u/%04u", unsigned{d}, unsigned{m}, unsigned{y});
        throw std::invalid_argument(std::string("data inválida: ") + text);
    }
    return *date;
}

Date Date::fromDayNumber(int dayNumber) {
    return Date(kDayZero + days{dayNumber});
}

std::optional<Date> Date::parse(std::string_view text) {
    std::size_t pos = 0;
    auto date = parseDatePart(text, pos);
    if (!date || pos != text.size()) {
        return std::nullopt;
    }
    return date;
}

DateParts Date::parts() const {
    year_month_day ymd{days_};
    return {static_cast<std::uint16_t>(int{ymd.year()}),
            static_cast<std::uint16_t>(unsigned{ymd.month()}),
            static_cast<std::uint16_t>(unsigned{ymd.day()})};
}

int Date::weekday() const {
    return static_cast<int>(std::chrono::weekday{days_}.c_encoding()) + 1;
}

int Date::dayNumber() const {
    return (days_ - kDayZero).count();
}

std::string Date::format() const {
    auto p = parts();
    std::string text;
    appendPadded(text, p.day, 2, '/');
    appendPadded(text, p.month, 2, '/');
    appendPadded(text, p.year, 4);
    return text;
}

std::string Date::iso() const {
    auto p = parts();
    std::string text;
    appendPadded(text, p.year, 4, '-');
    appendPadded(text, p.month, 2, '-');
    appendPadded(text, p.day, 2);
    return text;
}

DateTime::DateTime(Date date, std::chrono::milliseconds timeOfDay)
    : date_(date), timeOfDay_(timeOfDay) {
    if (timeOfDay < milliseconds{0} || timeOfDay.count() >= kMillisPerDay) {
        throw std::invalid_argument("hora fora do dia: " + std::to_string(timeOfDay.count()) +
                                    " ms");
    }
}

DateTime DateTime::fromParts(DateParts date, int h, int m, int s, int ms) {
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) {
        throw std::invalid_argument("hora inválida");
    }
    return DateTime(Date::fromParts(date), hours{h} + minutes{m} + seconds{s} + milliseconds{ms});
}

DateTime DateTime::fromDayNumber(double dayNumber) {
    // Whole days count from day zero; the fraction is always the time of that day, also for
    // negative day numbers (as the day-number form defines it).
    double whole = std::trunc(dayNumber);
    double fraction = std::fabs(dayNumber - whole);
    auto millis = static_cast<std::int64_t>(std::llround(fraction * kMillisPerDay));
    int day = static_cast<int>(whole);
    if (millis >= kMillisPerDay) {
        // The time of day rounded up to midnight: that is the start of the next day, also
        // for negative day numbers, whose fraction still runs forward.
        millis = 0;
        ++day;
    }
    return DateTime(Date::fromDayNumber(day), milliseconds{millis});
}

std::optional<DateTime> DateTime::parse(std::string_view text) {
    std::size_t pos = 0;
    auto date = parseDatePart(text, pos);
    if (!date) {
        return std::nullopt;
    }
    if (pos == text.size()) {
        return DateTime(*date);
    }
    if (text[pos] != ' ' && text[pos] != 'T') {
        return std::nullopt;
    }
    ++pos;
    auto h = digits(text, pos, 2);
    if (!h || !expect(text, pos, ':')) {
        return std::nullopt;
    }
    auto m = digits(text, pos, 2);
    if (!m) {
        return std::nullopt;
    }
    std::optional<int> s = 0;
    std::optional<int> ms = 0;
    if (expect(text, pos, ':')) {
        s = digits(text, pos, 2);
        if (s && expect(text, pos, '.')) {
            ms = digits(text, pos, 3);
        }
    }
    if (!s || !ms || pos != text.size() || *h > 23 || *m > 59 || *s > 59) {
        return std::nullopt;
    }
    return DateTime(*date, hours{*h} + minutes{*m} + seconds{*s} + milliseconds{*ms});
}

DateTime DateTime::nowLocal() {
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return fromParts(
        {static_cast<std::uint16_t>(local.tm_year + 1900),
         static_cast<std::uint16_t>(local.tm_mon + 1), static_cast<std::uint16_t>(local.tm_mday)},
        local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms));
}

int DateTime::hour() const {
    return static_cast<int>(duration_cast<hours>(timeOfDay_).count());
}
int DateTime::minute() const {
    return static_cast<int>(duration_cast<minutes>(timeOfDay_).count() % 60);
}
int DateTime::second() const {
    return static_cast<int>(duration_cast<seconds>(timeOfDay_).count() % 60);
}
int DateTime::millisecond() const {
    return static_cast<int>(timeOfDay_.count() % 1000);
}

double DateTime::dayNumber() const {
    double fraction = static_cast<double>(timeOfDay_.count()) / kMillisPerDay;
    int day = date_.dayNumber();
    return day < 0 ? day - fraction : day + fraction;
}

std::string DateTime::formatTime() const {
    std::string text;
    appendPadded(text, static_cast<unsigned>(hour()), 2, ':');
    appendPadded(text, static_cast<unsigned>(minute()), 2, ':');
    appendPadded(text, static_cast<unsigned>(second()), 2);
    return text;
}

std::string DateTime::format() const {
    return date_.format() + ' ' + formatTime();
}

std::string DateTime::iso() const {
    std::string text = date_.iso() + 'T' + formatTime();
    if (int ms = millisecond(); ms != 0) {
        text += '.';
        appendPadded(text, static_cast<unsigned>(ms), 3);
    }
    return text;
}

}  // namespace lembrete
