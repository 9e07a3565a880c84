#include "recurrence/calendar_steps.h"

#include <gtest/gtest.h>

#include "recurrence/recurrence_error.h"
#include "recurrence/rule_text.h"

namespace lembrete {
namespace {

using test::day;
using test::rule;

TEST(CodificaData, CarriesOverflowIntoTheNextMonthAndYear) {
    struct Case {
        std::uint16_t year, month, dayOfMonth;
        const char* expected;
    };
    const Case cases[] = {
        {2007, 4, 31, "01/05/2007"},  {2007, 2, 31, "03/03/2007"}, {2008, 2, 30, "01/03/2008"},
        {2007, 12, 32, "01/01/2008"}, {2007, 14, 5, "05/02/2008"}, {2008, 2, 29, "29/02/2008"},
        {2007, 24, 1, "01/12/2008"},  {2007, 25, 1, "01/01/2009"}, {2007, 3, 0, "28/02/2007"},
        {2007, 7, 116, "24/10/2007"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodificaData(c.year, c.month, c.dayOfMonth).format(), c.expected)
            << c.year << '-' << c.month << '-' << c.dayOfMonth;
    }
    EXPECT_THROW(CodificaData(2007, 0, 1), std::invalid_argument);
}

TEST(AnoBisexto, GregorianRule) {
    for (int year : {2000, 2004, 2008, 2012, 2400}) {
        EXPECT_TRUE(AnoBisexto(year)) << year;
    }
    for (int year : {1900, 2007, 2009, 2100, 2200}) {
        EXPECT_FALSE(AnoBisexto(year)) << year;
    }
}

TEST(NumSemanaMes, SevenDaysAWeekFromTheFirst) {
    const std::pair<const char*, int> cases[] = {
        {"01/07/2007", 1}, {"07/07/2007", 1}, {"08/07/2007", 2}, {"14/07/2007", 2},
        {"15/07/2007", 3}, {"21/07/2007", 3}, {"22/07/2007", 4}, {"28/07/2007", 4},
        {"29/07/2007", 5}, {"31/07/2007", 5}, {"29/02/2008", 5},
    };
    for (const auto& [date, week] : cases) {
        EXPECT_EQ(NumSemanaMes(day(date)), week) << date;
    }
}

TEST(PrimeiroDiaSem, FirstSelectedWeekdayOnOrAfter) {
    struct Case {
        const char* weekdays;
        const char* start;  // 18/07/2007 is a Wednesday
        const char* expected;
    };
    const Case cases[] = {
        {"26", "18/07/2007", "20/07/2007"},  // Monday + Friday → that Friday
        {"14", "18/07/2007", "18/07/2007"},  // Sunday + Wednesday → the start itself
        {"7", "18/07/2007", "21/07/2007"},   // Saturday of the same week
        {"2", "18/07/2007", "23/07/2007"},   // Monday of the next week
        {"4", "21/07/2007", "25/07/2007"},   // from a Saturday
        {"1234567", "22/07/2007", "22/07/2007"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrimeiroDiaSem(day(c.start), rule("S", 1, c.weekdays)).format(), c.expected)
            << c.weekdays << " from " << c.start;
    }
}

TEST(ProximoDiaSem, SameWeekElseIntervalWeeksLater) {
    struct Case {
        const char* weekdays;
        int interval;
        const char* from;
        const char* expected;
    };
    const Case cases[] = {
        {"26", 1, "20/07/2007", "23/07/2007"}, {"26", 1, "23/07/2007", "27/07/2007"},
        {"14", 2, "18/07/2007", "29/07/2007"}, {"14", 2, "29/07/2007", "01/08/2007"},
        {"7", 1, "21/07/2007", "28/07/2007"},  {"7", 3, "21/07/2007", "11/08/2007"},
        {"1", 1, "22/07/2007", "29/07/2007"},  {"2", 2, "18/07/2007", "30/07/2007"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProximoDiaSem(day(c.from), rule("S", c.interval, c.weekdays)).format(),
                  c.expected)
            << c.weekdays << " N=" << c.interval << " from " << c.from;
    }
}

TEST(ProximoDiaSem, RefusesARuleWithNoWeekday) {
    EXPECT_THROW(ProximoDiaSem(day("18/07/2007"), rule("S", 1)), RecurrenceError);
    EXPECT_THROW(PrimeiroDiaSem(day("18/07/2007"), rule("S", 1)), RecurrenceError);
}

}  // namespace
}  // namespace lembrete
