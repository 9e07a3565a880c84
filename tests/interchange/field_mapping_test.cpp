#include "interchange/field_mapping.h"

#include <gtest/gtest.h>

#include "interchange/html_text.h"

namespace lembrete::field_mapping {
namespace {

TEST(PriorityMapping, SpreadsTheReminderScaleOverOneToNineInOrder) {
    const struct {
        std::string stored;
        int calendar;
    } rows[] = {{"", 0},    {"0", 0},   {"1", 1},   {"125", 2},
                {"500", 5}, {"998", 9}, {"999", 9}, {"abc", 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(toCalendarPriority(row.stored), row.calendar) << row.stored;
    }
    int previous = 0;
    for (int priority = 1; priority <= 999; ++priority) {
        const int mapped = toCalendarPriority(std::to_string(priority));
        ASSERT_GE(mapped, previous) << priority;
        previous = mapped;
    }
}

TEST(PriorityMapping, ReadsBackEveryStepAsAPriorityThatMapsToIt) {
    EXPECT_EQ(fromCalendarPriority(0), "");
    EXPECT_EQ(fromCalendarPriority(1), "1");
    EXPECT_EQ(fromCalendarPriority(9), "999");
    EXPECT_EQ(fromCalendarPriority(10), "");
    for (int step = 1; step <= 9; ++step) {
        EXPECT_EQ(toCalendarPriority(fromCalendarPriority(step)), step) << step;
    }
}

TEST(LeadMapping, TakesTheLargestExactUnitElseTheNearestThatFits) {
    const struct {
        long long seconds;
        Lead lead;
    } rows[] = {
        {0, {std::nullopt, ""}},
        {-300, {std::nullopt, ""}},
        {30, {1, "S"}},
        {15 * 60, {15, "S"}},
        {90 * 60, {90, "S"}},
        {3600, {1, "M"}},
        {86400, {1, "D"}},
        {2 * 86400, {2, "D"}},
        {1000 * 60 + 30, {17, "M"}},
        {1001 * 3600, {1001 * 3600 / 86400 + 1, "D"}},
        {5000LL * 86400, {1000, "D"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(leadFromSecondsBefore(row.seconds), row.lead) << row.seconds;
    }
    EXPECT_EQ(secondsBefore({2, "M"}), 7200);
    EXPECT_EQ(secondsBefore({std::nullopt, ""}), 0);
}

TEST(HtmlText, GivesTheTextOfTheRichEditorsHtml) {
    const std::string html =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\n<html><head><meta "
        "name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\np, li { white-space: "
        "pre-wrap; }\n</style></head><body style=\" font-family:'Sans';\">\n<p style=\" "
        "margin-top:0px;\"><span style=\" font-weight:700;\">Levar</span> os   "
        "documentos</p>\n<p>linha&nbsp;2<br />linha 3 &amp; fim</p></body></html>";
    EXPECT_EQ(plainTextOf(html), "Levar os documentos\nlinha\u00a02\nlinha 3 & fim");
    EXPECT_EQ(plainTextOf("texto simples < 3"), "texto simples < 3");
    EXPECT_TRUE(isHtml(html));
    EXPECT_FALSE(isHtml("a < b > c"));
}

}  // namespace
}  // namespace lembrete::field_mapping
