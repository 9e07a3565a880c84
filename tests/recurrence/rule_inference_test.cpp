// The rule told from the dates of a series stored without one: each kind read back from the
// dates its own rule generates, the simplest reading preferred, and dates no rule fits.
#include "recurrence/rule_inference.h"

#include <gtest/gtest.h>

#include "recurrence/occurrence_cursor.h"

namespace lembrete {
namespace {

struct RuleShape {
    RecurrenceKind kind;
    int interval;
    std::vector<int> weekdays;
    MonthlyMode mode = MonthlyMode::ByDate;
};

RecurrenceRule ruleOf(const RuleShape& shape, Date end) {
    RecurrenceRule rule;
    rule.setKind(shape.kind);
    rule.setInterval(shape.interval);
    for (const int day : shape.weekdays) {
        rule.setWeekday(day, true);
    }
    rule.setMonthlyMode(shape.mode);
    rule.setEndDate(end);
    return rule;
}

struct InferenceCase {
    const char* name;
    RuleShape generated;  // the rule the dates come from
    Date start;
    Date end;
    RuleShape expected;  // the rule read back
};

class RuleInferenceCases : public ::testing::TestWithParam<InferenceCase> {};

TEST_P(RuleInferenceCases, TheDatesOfARuleGiveItBack) {
    const InferenceCase& c = GetParam();
    const std::vector<Date> dates = occurrences(ruleOf(c.generated, c.end), c.start);
    ASSERT_GE(dates.size(), 2u);
    const std::optional<RecurrenceRule> read = inferRule(dates);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, ruleOf(c.expected, dates.back()));
    EXPECT_EQ(occurrences(*read, dates.front()), dates);
}

constexpr int kSun = 1, kMon = 2, kTue = 3, kFri = 6;

INSTANTIATE_TEST_SUITE_P(
    Kinds, RuleInferenceCases,
    ::testing::Values(InferenceCase{"EveryDay",
                                    {RecurrenceKind::Daily, 1, {}},
                                    Date::fromParts(2007, 7, 16),
                                    Date::fromParts(2007, 8, 30),
                                    {RecurrenceKind::Daily, 1, {}}},
                      InferenceCase{"EveryThreeDays",
                                    {RecurrenceKind::Daily, 3, {}},
                                    Date::fromParts(2008, 2, 27),
                                    Date::fromParts(2008, 4, 1),
                                    {RecurrenceKind::Daily, 3, {}}},
                      InferenceCase{"EveryFourteenDaysReadsAsEveryTwoWeeks",
                                    {RecurrenceKind::Daily, 14, {}},
                                    Date::fromParts(2007, 7, 17),
                                    Date::fromParts(2007, 12, 1),
                                    {RecurrenceKind::Weekly, 2, {kTue}}},
                      InferenceCase{"MondayAndFriday",
                                    {RecurrenceKind::Weekly, 1, {kMon, kFri}},
                                    Date::fromParts(2007, 7, 16),
                                    Date::fromParts(2007, 10, 16),
                                    {RecurrenceKind::Weekly, 1, {kMon, kFri}}},
                      InferenceCase{"EveryThirdWeekOnSundayAndTuesday",
                                    {RecurrenceKind::Weekly, 3, {kSun, kTue}},
                                    Date::fromParts(2026, 12, 8),
                                    Date::fromParts(2027, 6, 1),
                                    {RecurrenceKind::Weekly, 3, {kSun, kTue}}},
                      InferenceCase{"MonthlyOnTheLastDays",
                                    {RecurrenceKind::Monthly, 1, {}},
                                    Date::fromParts(2008, 1, 31),
                                    Date::fromParts(2008, 12, 31),
                                    {RecurrenceKind::Monthly, 1, {}}},
                      InferenceCase{"EveryTwoMonthsOnTheSecondTuesday",
                                    {RecurrenceKind::Monthly, 2, {}, MonthlyMode::ByWeekday},
                                    Date::fromParts(2007, 7, 10),
                                    Date::fromParts(2008, 7, 31),
                                    {RecurrenceKind::Monthly, 2, {}, MonthlyMode::ByWeekday}},
                      InferenceCase{"YearlyOnTheTwentyNinthOfFebruary",
                                    {RecurrenceKind::Yearly, 1, {}},
                                    Date::fromParts(2008, 2, 29),
                                    Date::fromParts(2016, 3, 1),
                                    {RecurrenceKind::Yearly, 1, {}}}),
    [](const ::testing::TestParamInfo<InferenceCase>& info) { return info.param.name; });

TEST(RuleInferenceTest, DatesNoRuleFitsTellNothing) {
    const auto day = [](int month, int dayOfMonth) {
        return Date::fromParts(2007, static_cast<std::uint16_t>(month),
                               static_cast<std::uint16_t>(dayOfMonth));
    };
    EXPECT_FALSE(inferRule({}));
    EXPECT_FALSE(inferRule({day(7, 16)}));
    // Two weeks of a daily series with one occurrence deleted.
    std::vector<Date> gap;
    for (int dayOfMonth = 16; dayOfMonth <= 29; ++dayOfMonth) {
        if (dayOfMonth != 19) {
            gap.push_back(day(7, dayOfMonth));
        }
    }
    EXPECT_FALSE(inferRule(gap));
    // Every day but Thursday is a weekly rule, though.
    gap.erase(gap.begin() + 9);  // 26 July
    EXPECT_TRUE(inferRule(gap).has_value());
    // Weekly on Monday, then one moved to a Wednesday.
    EXPECT_FALSE(inferRule({day(7, 16), day(7, 23), day(8, 1), day(8, 6)}));
    EXPECT_FALSE(inferRule({day(7, 16), day(7, 16)}));
    // A gap of 200 days: longer than any daily interval, and no other reading fits.
    EXPECT_FALSE(inferRule({day(1, 1), day(1, 1).addDays(200)}));
}

}  // namespace
}  // namespace lembrete
