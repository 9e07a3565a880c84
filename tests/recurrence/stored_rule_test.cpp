// A stored rule moved by some days with its series: weekdays turn with the dates, and the moved
// dates are checked against the moved rule, which monthly days placed from the start may miss.
#include "recurrence/stored_rule.h"

#include <gtest/gtest.h>

#include "recurrence/occurrence_cursor.h"
#include "recurrence/rule_text.h"

namespace lembrete {
namespace {

using test::day;
using test::rule;

struct MoveCase {
    const char* name;
    RecurrenceRule rule;
    const char* start;
    const char* end;
    int days;
    RecurrenceRule moved;  // the moved rule, end date aside
    bool follows;          // whether the moved dates still follow it
};

class MovedRuleCases : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MovedRuleCases, StartEndAndWeekdaysMoveAndTheDatesAreChecked) {
    const MoveCase& c = GetParam();
    RecurrenceRule original = c.rule;
    original.setEndDate(day(c.end));
    const StoredRule stored{original, DateTime(day(c.start), std::chrono::hours(8))};
    std::vector<Date> dates;
    for (const Date date : occurrences(original, day(c.start))) {
        dates.push_back(date.addDays(c.days));
    }
    const StoredRule moved = movedBy(stored, c.days);
    RecurrenceRule expected = c.moved;
    expected.setEndDate(day(c.end).addDays(c.days));
    EXPECT_EQ(moved.rule, expected);
    EXPECT_EQ(moved.start, DateTime(day(c.start).addDays(c.days), std::chrono::hours(8)));
    EXPECT_EQ(follows(moved, dates), c.follows);
    EXPECT_TRUE(follows(stored, occurrences(original, day(c.start))));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MovedRuleCases,
    ::testing::Values(MoveCase{"MondayAndFridayThreeDaysOnAcrossAMonthEnd", rule("S", 1, "26"),
                               "16/07/2007", "10/08/2007", 3, rule("S", 1, "25"), true},
                      MoveCase{"EveryOtherWeekOnMondayAndWednesdayOneBack", rule("S", 2, "24"),
                               "02/07/2007", "30/09/2007", -1, rule("S", 2, "13"), true},
                      // Weeks run from Sunday: Friday and the Thursday after are two weeks apart.
                      MoveCase{"EveryOtherWeekOnSundayAndSaturdayTwoBackFallsInTwoWeeks",
                               rule("S", 2, "17"), "01/07/2007", "30/09/2007", -2,
                               rule("S", 2, "56"), false},
                      MoveCase{"EveryThreeDaysTenOn", rule("D", 3), "27/02/2008", "01/04/2008", 10,
                               rule("D", 3), true},
                      MoveCase{"MonthlyOnTheFifteenthThreeOn", rule("M", 1), "15/01/2008",
                               "15/12/2008", 3, rule("M", 1), true},
                      MoveCase{"MonthlyOnTheLastDaysOneOnFallsOnTheFirst", rule("M", 1),
                               "31/01/2007", "31/12/2007", 1, rule("M", 1), true},
                      MoveCase{"MonthlyOnTheThirtyFirstOneBackMissesFebruary", rule("M", 1),
                               "31/01/2007", "31/12/2007", -1, rule("M", 1), false},
                      MoveCase{"SecondTuesdayOneOnIsNotAlwaysTheSecondWednesday",
                               rule("M", 1, "", MonthlyMode::ByWeekday), "10/07/2007", "31/07/2008",
                               1, rule("M", 1, "", MonthlyMode::ByWeekday), false},
                      MoveCase{"YearlyOnTheTenthOfMarchOneOn", rule("A", 1), "10/03/2007",
                               "10/03/2017", 1, rule("A", 1), true}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.name; });

TEST(StoredRuleTest, DatesBeforeTheStartOrAfterTheEndDoNotFollowIt) {
    RecurrenceRule daily = rule("D", 1);
    daily.setEndDate(day("31/07/2007"));
    const StoredRule stored{daily, DateTime(day("16/07/2007"))};
    EXPECT_TRUE(follows(stored, {}));
    EXPECT_TRUE(follows(stored, {day("16/07/2007"), day("31/07/2007")}));
    EXPECT_FALSE(follows(stored, {day("15/07/2007"), day("16/07/2007")}));
    EXPECT_FALSE(follows(stored, {day("30/07/2007"), day("01/08/2007")}));
    EXPECT_FALSE(follows(stored, {day("17/07/2007"), day("17/07/2007")}));
}

}  // namespace
}  // namespace lembrete
