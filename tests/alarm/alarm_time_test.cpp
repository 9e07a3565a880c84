// Due times of alarms, snooze ends, and what a clock change does to them.
#include "alarm/alarm_time.h"

#include <gtest/gtest.h>

namespace lembrete {
namespace {

DateTime at(int year, int month, int day, int hour, int minute) {
    return DateTime::fromParts({static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                                static_cast<std::uint16_t>(day)},
                               hour, minute);
}

struct DueCase {
    const char* name;
    DateTime event;
    const char* state;
    const char* alarm;
    std::optional<double> lead;
    const char* unit;
    std::optional<DateTime> due;
};

class DueTimeTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueTimeTest, FollowsTheStoredFields) {
    const auto& c = GetParam();
    const auto due = alarmDueTime({c.event, c.state, c.alarm, c.lead, c.unit});
    ASSERT_EQ(due.has_value(), c.due.has_value());
    if (due) {
        EXPECT_EQ(due->iso(), c.due->iso());
    }
}

const DateTime kEvent = at(2026, 6, 15, 14, 30);

INSTANTIATE_TEST_SUITE_P(
    Cases, DueTimeTest,
    ::testing::Values(
        DueCase{"Minutes", kEvent, "P", "S", 2.0, "S", at(2026, 6, 15, 14, 28)},
        DueCase{"Hours", kEvent, "P", "S", 3.0, "M", at(2026, 6, 15, 11, 30)},
        DueCase{"Days", kEvent, "P", "S", 2.0, "D", at(2026, 6, 13, 14, 30)},
        DueCase{"EmptyUnitIsAtTheEvent", kEvent, "P", "S", 5.0, "", kEvent},
        DueCase{"NoLeadIsAtTheEvent", kEvent, "P", "S", std::nullopt, "S", kEvent},
        DueCase{"ThousandDays", kEvent, "P", "S", 1000.0, "D", at(2023, 9, 19, 14, 30)},
        DueCase{"AlarmOff", kEvent, "P", "N", 5.0, "S", std::nullopt},
        DueCase{"Done", kEvent, "R", "S", 5.0, "S", std::nullopt},
        DueCase{"IntoThePreviousMonth", at(2026, 3, 1, 0, 10), "P", "S", 15.0, "S",
                at(2026, 2, 28, 23, 55)},
        DueCase{"LeapDay", at(2028, 3, 1, 9, 0), "P", "S", 1.0, "D", at(2028, 2, 29, 9, 0)},
        DueCase{"IntoThePreviousYear", at(2027, 1, 1, 0, 30), "P", "S", 1.0, "M",
                at(2026, 12, 31, 23, 30)},
        // Each occurrence of a series is a row of its own with its own date: its own due time.
        DueCase{"SecondOccurrenceOfADailySeries", at(2026, 6, 16, 14, 30), "P", "S", 2.0, "S",
                at(2026, 6, 16, 14, 28)}),
    [](const auto& info) { return std::string(info.param.name); });

// A clock change: the lead is counted on the wall clock, so on a day whose clock jumps from
// 02:00 to 03:00 an alarm 1 hour before 03:30 is due at 02:30, a time the clock never shows; it
// rings at the first poll after the jump, as 03:00 is already past it. One day before is the
// same wall time the day before, whether that day had 23, 24 or 25 hours.
TEST(DueTimeOnAClockChange, IsCountedOnTheWallClock) {
    const auto skipped = alarmDueTime({at(2026, 10, 18, 3, 30), "P", "S", 1.0, "M"});
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->iso(), "2026-10-18T02:30:00");
    EXPECT_LE(*skipped, at(2026, 10, 18, 3, 0));
    EXPECT_GT(*skipped, at(2026, 10, 18, 1, 59));

    const auto dayBefore = alarmDueTime({at(2026, 10, 19, 8, 0), "P", "S", 1.0, "D"});
    ASSERT_TRUE(dayBefore);
    EXPECT_EQ(dayBefore->iso(), "2026-10-18T08:00:00");
}

TEST(SnoozeEnd, AddsEachChoiceToNow) {
    const DateTime now = at(2026, 12, 31, 23, 50);
    std::string ends;
    for (const auto& choice : kSnoozeChoices) {
        ends += std::string(choice.caption) + " " + snoozeEnd(now, choice).iso() + "; ";
    }
    EXPECT_EQ(ends,
              "5 minutos 2026-12-31T23:55:00; 10 minutos 2027-01-01T00:00:00; "
              "15 minutos 2027-01-01T00:05:00; 30 minutos 2027-01-01T00:20:00; "
              "1 hora 2027-01-01T00:50:00; 1 dia 2027-01-01T23:50:00; ");
}

TEST(ShiftedBy, KeepsMillisecondsAndCrossesDaysBothWays) {
    const auto when = DateTime(Date::fromParts(2026, 1, 1), std::chrono::milliseconds(250));
    EXPECT_EQ(shiftedBy(when, -std::chrono::milliseconds(500)).iso(), "2025-12-31T23:59:59.750");
    EXPECT_EQ(shiftedBy(when, std::chrono::hours(48)).iso(), "2026-01-03T00:00:00.250");
}

}  // namespace
}  // namespace lembrete
