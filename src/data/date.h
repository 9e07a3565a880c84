// Calendar values of the module: Date (a day) and DateTime (a day plus a time of day).
//
// Both are small immutable values over std::chrono::sys_days. They convert to and from the
// "day number" form used by the screens and the go-to-day dialog (day 0 = 30 December 1899,
// the time of day as the fraction of a day), and print and parse the two text forms the
// product uses: dd/mm/yyyy for people and ISO 8601 on the wire. Leap years follow the
// Gregorian rule. Weekdays are numbered 1 = Sunday .. 7 = Saturday everywhere.
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lembrete {

// Year, month and day as the screens split them (16-bit unsigned parts).
struct DateParts {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    friend bool operator==(const DateParts&, const DateParts&) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

class Date {
  public:
    // 30 December 1899: day number 0.
    Date() = default;
    explicit constexpr Date(std::chrono::sys_days days) : days_(days) {}

    // Throws std::invalid_argument when the parts do not name a real calendar day.
    static Date fromParts(std::uint16_t year, std::uint16_t month, std::uint16_t day);
    static Date fromParts(DateParts parts) { return fromParts(parts.year, parts.month, parts.day); }
    static Date fromDayNumber(int dayNumber);
    // Accepts "dd/mm/yyyy" and "yyyy-mm-dd"; nullopt for anything else or an impossible day.
    static std::optional<Date> parse(std::string_view text);

    DateParts parts() const;
    std::uint16_t year() const { return parts().year; }
    std::uint16_t month() const { return parts().month; }
    std::uint16_t day() const { return parts().day; }
    int weekday() const;  // 1 = Sunday .. 7 = Saturday
    int dayNumber() const;

    Date addDays(int days) const { return Date(days_ + std::chrono::days(days)); }
    int daysUntil(Date other) const { return (other.days_ - days_).count(); }

    std::string format() const;  // dd/mm/yyyy
    std::string iso() const;     // yyyy-mm-dd
    std::chrono::sys_days sysDays() const { return days_; }

    friend constexpr auto operator<=>(const Date&, const Date&) = default;

  private:
    std::chrono::sys_days days_{std::chrono::sys_days{std::chrono::days{-25569}}};
};

class DateTime {
  public:
    DateTime() = default;
    explicit DateTime(Date date, std::chrono::milliseconds timeOfDay = {});

    static DateTime fromParts(DateParts date, int hour = 0, int minute = 0, int second = 0,
                              int millisecond = 0);
    static DateTime fromDayNumber(double dayNumber);
    // Accepts "dd/mm/yyyy[ HH:MM[:SS]]" and "yyyy-mm-dd[THH:MM[:SS[.mmm]]]".
    static std::optional<DateTime> parse(std::string_view text);
    // The local wall-clock time of this machine.
    static DateTime nowLocal();

    Date date() const { return date_; }
    std::chrono::milliseconds timeOfDay() const { return timeOfDay_; }
    int hour() const;
    int minute() const;
    int second() const;
    int millisecond() const;
    double dayNumber() const;

    DateTime withDate(Date date) const { return DateTime(date, timeOfDay_); }
    DateTime withTime(std::chrono::milliseconds timeOfDay) const {
        return DateTime(date_, timeOfDay);
    }

    std::string format() const;      // dd/mm/yyyy HH:MM:SS
    std::string formatTime() const;  // HH:MM:SS
    std::string iso() const;         // yyyy-mm-ddTHH:MM:SS (.mmm only when not zero)

    friend auto operator<=>(const DateTime&, const DateTime&) = default;

  private:
    Date date_;
    std::chrono::milliseconds timeOfDay_{0};
};

// A span of days, both ends included.
struct DayRange {
    Date first;
    Date last;
    friend constexpr bool operator==(const DayRange&, const DayRange&) = default;
};

}  // namespace lembrete
