// RecurrenceRule: the repetition settings the editor's "Repetições" tab edits — kind, interval,
// weekdays, monthly mode and end date. A plain value with no screen behind it: the summary text
// (RecurrenceSummary) and the occurrence generation (OccurrenceCursor) read it; the editor owns
// the one it edits. Setters refuse values outside their range instead of ignoring them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "data/date.h"

namespace lembrete {

// The numeric value of a kind is the summary kind ControlaInfo takes (1 daily .. 4 yearly).
enum class RecurrenceKind : int { None = 0, Daily = 1, Weekly = 2, Monthly = 3, Yearly = 4 };

// "N", "D", "S", "M", "A" both ways; any other code gives nullopt.
std::optional<RecurrenceKind> recurrenceKindFromCode(std::string_view code);
std::string_view recurrenceKindCode(RecurrenceKind kind);

// Equals the editor's cbbPor.ItemIndex + 1.
enum class MonthlyMode { ByDate = 1, ByWeekday = 2 };

// A series with no end date ("Sem data de término") runs to 31 December of this many years
// after the year of its start.
inline constexpr int kOpenSeriesYears = 10;
Date openSeriesEnd(Date start);

class RecurrenceRule {
  public:
    static constexpr int kMinInterval = 1;
    static constexpr int kMaxInterval = 99;

    RecurrenceKind kind() const { return kind_; }
    void setKind(RecurrenceKind kind) { kind_ = kind; }

    // Days, weeks, months or years between occurrences; throws std::out_of_range outside 1..99.
    int interval() const { return interval_; }
    void setInterval(int interval);

    // Weekday flags, 1 = Sunday .. 7 = Saturday; throws std::out_of_range for another day.
    bool weekday(int day) const;
    void setWeekday(int day, bool selected);
    void toggleWeekday(int day);
    void clearWeekdays() { weekdays_ = 0; }
    int selectedWeekdayCount() const;

    MonthlyMode monthlyMode() const { return monthlyMode_; }
    void setMonthlyMode(MonthlyMode mode) { monthlyMode_ = mode; }

    // The last day a series may fall on, inclusive; nullopt = no end date.
    std::optional<Date> endDate() const { return endDate_; }
    void setEndDate(std::optional<Date> end) { endDate_ = end; }
    // The end date, or openSeriesEnd(start) when there is none.
    Date lastDate(Date start) const;

    friend bool operator==(const RecurrenceRule&, const RecurrenceRule&) = default;

  private:
    static std::uint8_t bit(int day);

    RecurrenceKind kind_ = RecurrenceKind::None;
    int interval_ = kMinInterval;
    std::uint8_t weekdays_ = 0;  // bit (day - 1)
    MonthlyMode monthlyMode_ = MonthlyMode::ByDate;
    std::optional<Date> endDate_;
};

}  // namespace lembrete
