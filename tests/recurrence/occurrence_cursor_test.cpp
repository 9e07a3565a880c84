#include "recurrence/occurrence_cursor.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "recurrence/calendar_steps.h"
#include "recurrence/recurrence_error.h"
#include "recurrence/rule_text.h"

namespace lembrete {
namespace {

using test::day;
using test::render;
using test::rule;

constexpr MonthlyMode kByDate = MonthlyMode::ByDate;
constexpr MonthlyMode kByWeekday = MonthlyMode::ByWeekday;

// One series per row: the rule, its start and end (inclusive), and every date it yields.
struct Reference {
    const char* name;
    const char* kind;
    int interval;
    const char* weekdays;
    MonthlyMode mode;
    const char* start;
    const char* end;
    const char* expected;
};

const Reference kReferences[] = {
    {"daily three days", "D", 1, "", kByDate, "16/07/2007", "18/07/2007",
     "16/07/2007 17/07/2007 18/07/2007"},
    {"daily every third day, end on an occurrence", "D", 3, "", kByDate, "16/07/2007", "25/07/2007",
     "16/07/2007 19/07/2007 22/07/2007 25/07/2007"},
    {"daily, end the day before an occurrence", "D", 3, "", kByDate, "16/07/2007", "24/07/2007",
     "16/07/2007 19/07/2007 22/07/2007"},
    {"daily over a leap month's end", "D", 2, "", kByDate, "27/02/2008", "04/03/2008",
     "27/02/2008 29/02/2008 02/03/2008 04/03/2008"},
    {"daily over the year's end", "D", 1, "", kByDate, "30/12/2007", "01/01/2008",
     "30/12/2007 31/12/2007 01/01/2008"},
    {"weekly Monday+Friday from a Wednesday", "S", 1, "26", kByDate, "18/07/2007", "03/08/2007",
     "20/07/2007 23/07/2007 27/07/2007 30/07/2007 03/08/2007"},
    {"weekly Saturday from a Wednesday", "S", 1, "7", kByDate, "18/07/2007", "28/07/2007",
     "21/07/2007 28/07/2007"},
    {"weekly Sunday+Wednesday every second week", "S", 2, "14", kByDate, "18/07/2007", "15/08/2007",
     "18/07/2007 29/07/2007 01/08/2007 12/08/2007 15/08/2007"},
    {"weekly Monday every second week from a Wednesday", "S", 2, "2", kByDate, "18/07/2007",
     "20/08/2007", "23/07/2007 06/08/2007 20/08/2007"},
    {"weekly every day", "S", 1, "1234567", kByDate, "30/12/2007", "02/01/2008",
     "30/12/2007 31/12/2007 01/01/2008 02/01/2008"},
    {"weekly every day every third week", "S", 3, "1234567", kByDate, "20/07/2007", "06/08/2007",
     "20/07/2007 21/07/2007 05/08/2007 06/08/2007"},
    {"monthly from the 31st keeps the 31st", "M", 1, "", kByDate, "31/01/2008", "31/07/2008",
     "31/01/2008 29/02/2008 31/03/2008 30/04/2008 31/05/2008 30/06/2008 31/07/2008"},
    {"monthly every twelfth month", "M", 12, "", kByDate, "15/12/2007", "15/12/2008",
     "15/12/2007 15/12/2008"},
    {"monthly every third month from the 30th", "M", 3, "", kByDate, "30/11/2007", "30/05/2008",
     "30/11/2007 29/02/2008 30/05/2008"},
    {"monthly over the year's end", "M", 1, "", kByDate, "15/11/2007", "15/02/2008",
     "15/11/2007 15/12/2007 15/01/2008 15/02/2008"},
    {"monthly by weekday: third Monday", "M", 1, "", kByWeekday, "16/07/2007", "31/10/2007",
     "16/07/2007 20/08/2007 17/09/2007 15/10/2007"},
    {"monthly by weekday: last Thursday", "M", 1, "", kByWeekday, "31/01/2008", "30/04/2008",
     "31/01/2008 28/02/2008 27/03/2008 24/04/2008"},
    {"monthly by weekday: first Wednesday every second month", "M", 2, "", kByWeekday, "01/08/2007",
     "31/12/2007", "01/08/2007 03/10/2007 05/12/2007"},
    {"yearly from a leap day", "A", 1, "", kByDate, "29/02/2008", "29/02/2012",
     "29/02/2008 28/02/2009 28/02/2010 28/02/2011 29/02/2012"},
    {"yearly every second year", "A", 2, "", kByDate, "16/07/2007", "16/07/2011",
     "16/07/2007 16/07/2009 16/07/2011"},
    {"yearly ignores the monthly mode", "A", 1, "", kByWeekday, "16/07/2007", "16/07/2008",
     "16/07/2007 16/07/2008"},
    {"start after the end: nothing", "D", 1, "", kByDate, "19/07/2007", "18/07/2007", ""},
    {"weekly first occurrence after the end: nothing", "S", 1, "6", kByDate, "18/07/2007",
     "19/07/2007", ""},
    {"start equal to end, daily: one", "D", 5, "", kByDate, "18/07/2007", "18/07/2007",
     "18/07/2007"},
    {"start equal to end, monthly: one", "M", 1, "", kByWeekday, "18/07/2007", "18/07/2007",
     "18/07/2007"},
    {"start equal to end, weekly on that day: one", "S", 1, "46", kByDate, "18/07/2007",
     "18/07/2007", "18/07/2007"},
    {"start equal to end, weekly on another day: nothing", "S", 1, "6", kByDate, "18/07/2007",
     "18/07/2007", ""},
    {"range's end: the last supported day", "D", 1, "", kByDate, "30/12/2099", "31/12/2099",
     "30/12/2099 31/12/2099"},
};

TEST(Occurrences, ReferenceTable) {
    for (const auto& r : kReferences) {
        auto dates =
            occurrences(rule(r.kind, r.interval, r.weekdays, r.mode), day(r.start), day(r.end));
        EXPECT_EQ(render(dates), r.expected) << r.name;
    }
}

// Stepping the cursor one occurrence at a time, and collecting in two parts, give the same
// series as occurrences(); the reserve bound is never short.
TEST(Occurrences, CursorWalksTheSameSeries) {
    for (const auto& r : kReferences) {
        RecurrenceRule series = rule(r.kind, r.interval, r.weekdays, r.mode);
        Date end = day(r.end);
        auto whole = occurrences(series, day(r.start), end);

        std::vector<Date> stepped;
        for (OccurrenceCursor cursor(series, day(r.start)); cursor.current() <= end;
             cursor.advance()) {
            stepped.push_back(cursor.current());
        }
        EXPECT_EQ(render(stepped), render(whole)) << r.name;

        OccurrenceCursor cursor(series, day(r.start));
        EXPECT_GE(cursor.countBound(end), whole.size()) << r.name;
        std::vector<Date> parts;
        cursor.collectUntil(std::min(day(r.start).addDays(20), end), parts);
        cursor.collectUntil(end, parts);
        EXPECT_EQ(render(parts), render(whole)) << r.name;
    }
}

TEST(Occurrences, OpenSeriesRunsToTheEndOfTheTenthYear) {
    auto daily = occurrences(rule("D", 1), day("16/07/2007"));
    ASSERT_EQ(daily.size(), 3822u);
    EXPECT_EQ(daily.back(), day("31/12/2017"));

    auto weekly = occurrences(rule("S", 1, "26"), day("16/07/2007"));
    ASSERT_EQ(weekly.size(), 1092u);
    EXPECT_EQ(weekly.front(), day("16/07/2007"));
    EXPECT_EQ(weekly.back(), day("29/12/2017"));

    auto monthly = occurrences(rule("M", 1), day("31/01/2008"));
    ASSERT_EQ(monthly.size(), 132u);
    EXPECT_EQ(monthly.back(), day("31/12/2018"));

    RecurrenceRule ended = rule("D", 1);
    ended.setEndDate(day("18/07/2007"));
    EXPECT_EQ(render(occurrences(ended, day("16/07/2007"))), "16/07/2007 17/07/2007 18/07/2007");
}

// The daily step is CodificaData with the day number carried on.
TEST(Occurrences, DailyStepIsCodificaDataOverflow) {
    for (int interval : {1, 2, 7, 31, 99}) {
        Date start = day("25/01/2007");
        auto dates = occurrences(rule("D", interval), start, day("31/12/2009"));
        for (std::size_t i = 1; i < dates.size(); ++i) {
            auto p = dates[i - 1].parts();
            ASSERT_EQ(dates[i],
                      CodificaData(p.year, p.month, static_cast<std::uint16_t>(p.day + interval)))
                << "N=" << interval << " after " << dates[i - 1].format();
        }
    }
}

// The cursor tabulates the weekly step; walking ProximoDiaSem by hand must give the same dates,
// for every set of weekdays, interval and start weekday.
TEST(Occurrences, WeeklyMatchesProximoDiaSemForEveryWeekdaySet) {
    for (int set = 1; set < 128; ++set) {
        for (int interval : {1, 2, 5}) {
            RecurrenceRule r = rule("S", interval);
            for (int d = 1; d <= 7; ++d) {
                r.setWeekday(d, (set >> (d - 1) & 1) != 0);
            }
            for (Date start = day("15/07/2007"); start <= day("21/07/2007");
                 start = start.addDays(1)) {
                Date end = start.addDays(120);
                std::vector<Date> expected;
                for (Date p = PrimeiroDiaSem(start, r); p <= end; p = ProximoDiaSem(p, r)) {
                    expected.push_back(p);
                }
                ASSERT_EQ(render(occurrences(r, start, end)), render(expected))
                    << "weekdays " << set << " N=" << interval << " from " << start.format();
            }
        }
    }
}

// By date, every occurrence keeps the start's day, or the month's last day when shorter.
TEST(Occurrences, MonthlyNeverDrifts) {
    for (int startDay = 28; startDay <= 31; ++startDay) {
        Date start = Date::fromParts(2007, 1, static_cast<std::uint16_t>(startDay));
        for (Date date : occurrences(rule("M", 1), start, day("31/12/2012"))) {
            auto p = date.parts();
            ASSERT_EQ(p.day, std::min(startDay, daysInMonth(p.year, p.month))) << date.format();
        }
    }
}

// By weekday, every occurrence is the start's weekday in the start's week of the month, or
// the month's last such weekday for the fifth.
TEST(Occurrences, MonthlyByWeekdayKeepsWeekdayAndWeek) {
    for (Date start = day("01/01/2008"); start <= day("31/01/2008"); start = start.addDays(1)) {
        int week = NumSemanaMes(start);
        for (Date date : occurrences(rule("M", 1, "", kByWeekday), start, day("31/12/2010"))) {
            ASSERT_EQ(date.weekday(), start.weekday()) << date.format();
            if (week < 5) {
                ASSERT_EQ(NumSemanaMes(date), week) << date.format();
            } else {
                ASSERT_GT(date.day() + 7, daysInMonth(date.year(), date.month())) << date.format();
            }
        }
    }
}

TEST(Occurrences, RefusesRulesThatCannotRepeat) {
    EXPECT_THROW(occurrences(rule("S", 1), day("18/07/2007"), day("31/12/2007")), RecurrenceError);
    EXPECT_THROW(occurrences(rule("N", 1), day("18/07/2007"), day("31/12/2007")), RecurrenceError);
}

}  // namespace
}  // namespace lembrete
