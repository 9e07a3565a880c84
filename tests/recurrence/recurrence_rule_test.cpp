#include "recurrence/recurrence_rule.h"

#include <gtest/gtest.h>

#include "recurrence/rule_text.h"

namespace lembrete {
namespace {

using test::day;

TEST(RecurrenceKindCode, RoundTripsEveryCode) {
    const std::pair<std::string_view, RecurrenceKind> codes[] = {
        {"N", RecurrenceKind::None},   {"D", RecurrenceKind::Daily},
        {"S", RecurrenceKind::Weekly}, {"M", RecurrenceKind::Monthly},
        {"A", RecurrenceKind::Yearly},
    };
    for (const auto& [code, kind] : codes) {
        EXPECT_EQ(recurrenceKindFromCode(code), kind) << code;
        EXPECT_EQ(recurrenceKindCode(kind), code);
    }
}

TEST(RecurrenceKindCode, RefusesOtherCodes) {
    for (std::string_view code : {"", "n", "X", "DD", "S "}) {
        EXPECT_EQ(recurrenceKindFromCode(code), std::nullopt) << '"' << code << '"';
    }
}

TEST(RecurrenceKindCode, NumbersAreTheSummaryKinds) {
    EXPECT_EQ(static_cast<int>(RecurrenceKind::Daily), 1);
    EXPECT_EQ(static_cast<int>(RecurrenceKind::Weekly), 2);
    EXPECT_EQ(static_cast<int>(RecurrenceKind::Monthly), 3);
    EXPECT_EQ(static_cast<int>(RecurrenceKind::Yearly), 4);
}

TEST(RecurrenceRule, IntervalKeepsToItsRange) {
    RecurrenceRule rule;
    EXPECT_EQ(rule.interval(), 1);
    rule.setInterval(99);
    EXPECT_EQ(rule.interval(), 99);
    EXPECT_THROW(rule.setInterval(0), std::out_of_range);
    EXPECT_THROW(rule.setInterval(100), std::out_of_range);
    EXPECT_EQ(rule.interval(), 99);
}

TEST(RecurrenceRule, WeekdayFlagsAreIndependent) {
    RecurrenceRule rule;
    rule.toggleWeekday(1);
    rule.toggleWeekday(7);
    rule.setWeekday(4, true);
    EXPECT_TRUE(rule.weekday(1));
    EXPECT_TRUE(rule.weekday(4));
    EXPECT_TRUE(rule.weekday(7));
    EXPECT_FALSE(rule.weekday(2));
    EXPECT_EQ(rule.selectedWeekdayCount(), 3);
    rule.toggleWeekday(7);
    rule.setWeekday(4, false);
    EXPECT_FALSE(rule.weekday(7));
    EXPECT_FALSE(rule.weekday(4));
    EXPECT_EQ(rule.selectedWeekdayCount(), 1);
    rule.clearWeekdays();
    EXPECT_EQ(rule.selectedWeekdayCount(), 0);
    EXPECT_THROW(rule.toggleWeekday(0), std::out_of_range);
    EXPECT_THROW(rule.weekday(8), std::out_of_range);
}

TEST(RecurrenceRule, OpenSeriesEndsTenYearsOn) {
    EXPECT_EQ(openSeriesEnd(day("16/07/2007")), day("31/12/2017"));
    EXPECT_EQ(openSeriesEnd(day("01/01/2007")), day("31/12/2017"));
    EXPECT_EQ(openSeriesEnd(day("31/12/2099")), day("31/12/2109"));

    RecurrenceRule rule;
    EXPECT_EQ(rule.lastDate(day("29/02/2008")), day("31/12/2018"));
    rule.setEndDate(day("18/07/2007"));
    EXPECT_EQ(rule.lastDate(day("16/07/2007")), day("18/07/2007"));
}

}  // namespace
}  // namespace lembrete
