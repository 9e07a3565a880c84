#include "data/date.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace lembrete {
namespace {

TEST(DayNumber, KnownAnchors) {
    struct Case {
        DateParts parts;
        int dayNumber;
    };
    const Case cases[] = {
        {{1899, 12, 30}, 0},    {{1899, 12, 31}, 1},  {{1900, 1, 1}, 2},
        {{2000, 1, 1}, 36526},  {{1899, 12, 29}, -1}, {{2099, 12, 31}, 73050},
        {{2024, 2, 29}, 45351},
    };
    for (const auto& c : cases) {
        Date date = Date::fromParts(c.parts);
        EXPECT_EQ(date.dayNumber(), c.dayNumber) << date.format();
        EXPECT_EQ(Date::fromDayNumber(c.dayNumber), date) << c.dayNumber;
    }
}

TEST(Calendar, LeapYearsAndMonthLengths) {
    struct Case {
        int year;
        int month;
        int days;
    };
    const Case cases[] = {
        {1900, 2, 28}, {2000, 2, 29}, {2023, 2, 28}, {2024, 2, 29},  {2100, 2, 28},
        {2400, 2, 29}, {2024, 1, 31}, {2024, 4, 30}, {2024, 12, 31}, {2023, 11, 30},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(daysInMonth(c.year, c.month), c.days) << c.month << "/" << c.year;
    }
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(2023));
    EXPECT_FALSE(isLeapYear(2100));
    EXPECT_THROW(daysInMonth(2024, 13), std::invalid_argument);
}

TEST(Calendar, AddDaysAcrossMonthYearAndLeapEdges) {
    struct Case {
        const char* from;
        int days;
        const char* to;
    };
    const Case cases[] = {
        {"31/01/2024", 1, "01/02/2024"},   {"28/02/2024", 1, "29/02/2024"},
        {"29/02/2024", 1, "01/03/2024"},   {"28/02/2023", 1, "01/03/2023"},
        {"31/12/2023", 1, "01/01/2024"},   {"01/01/2024", -1, "31/12/2023"},
        {"01/03/2024", -1, "29/02/2024"},  {"01/03/2100", -1, "28/02/2100"},
        {"01/01/2000", 366, "01/01/2001"}, {"01/01/2001", 365, "01/01/2002"},
        {"15/06/2030", 0, "15/06/2030"},   {"31/12/2099", -36524, "01/01/2000"},
    };
    for (const auto& c : cases) {
        const auto from = Date::parse(c.from);
        ASSERT_TRUE(from) << c.from;
        EXPECT_EQ(from->addDays(c.days).format(), c.to) << c.from << " + " << c.days;
        EXPECT_EQ(from->daysUntil(from->addDays(c.days)), c.days);
    }
}

TEST(Calendar, ImpossibleDaysAreRefused) {
    const DateParts bad[] = {{2023, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                             {2024, 1, 0},  {2024, 0, 10}, {2100, 2, 29}};
    for (const auto& p : bad) {
        EXPECT_THROW(Date::fromParts(p), std::invalid_argument) << p.day << "/" << p.month;
    }
    EXPECT_EQ(Date::fromParts(2000, 2, 29).format(), "29/02/2000");
}

TEST(Calendar, WeekdaysRunFromSunday) {
    struct Case {
        const char* date;
        int weekday;
    };
    const Case cases[] = {
        {"30/12/1899", 7}, {"01/01/2000", 7}, {"02/01/2000", 1}, {"03/01/2000", 2},
        {"29/02/2024", 5}, {"08/12/2026", 3}, {"31/12/2099", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Date::parse(c.date)->weekday(), c.weekday) << c.date;
    }
}

TEST(DayNumber, FractionIsTheTimeOfDay) {
    struct Case {
        double dayNumber;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "30/12/1899 00:00:00"},
        {0.25, "30/12/1899 06:00:00"},
        {36526.5, "01/01/2000 12:00:00"},
        {36526.75, "01/01/2000 18:00:00"},
        {-1.25, "29/12/1899 06:00:00"},
        {2.0 + 1.0 / 86400, "01/01/1900 00:00:01"},
        {36526.9999999999, "02/01/2000 00:00:00"},
        {-1.9999999999, "30/12/1899 00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateTime::fromDayNumber(c.dayNumber).format(), c.text) << c.dayNumber;
    }
    const auto noon = DateTime::fromParts({2000, 1, 1}, 12);
    EXPECT_DOUBLE_EQ(noon.dayNumber(), 36526.5);
    EXPECT_DOUBLE_EQ(DateTime::fromParts({1899, 12, 29}, 6).dayNumber(), -1.25);
    EXPECT_EQ(DateTime::fromDayNumber(noon.dayNumber()), noon);
}

TEST(TextForms, ParseAndFormatRoundTrip) {
    const char* dates[] = {"01/01/2000", "29/02/2024", "31/12/2099", "30/12/1899"};
    for (const char* text : dates) {
        const auto date = Date::parse(text);
        ASSERT_TRUE(date) << text;
        EXPECT_EQ(date->format(), text);
        EXPECT_EQ(Date::parse(date->iso()), date) << date->iso();
    }
    const char* moments[] = {"2024-02-29T23:59:59", "2000-01-01T00:00:00",
                             "2031-07-04T08:05:09.007"};
    for (const char* text : moments) {
        const auto when = DateTime::parse(text);
        ASSERT_TRUE(when) << text;
        EXPECT_EQ(when->iso(), text);
        EXPECT_EQ(DateTime::parse(when->format().c_str())->iso().substr(0, 19),
                  std::string(text).substr(0, 19));
    }
    EXPECT_EQ(DateTime::parse("05/03/2024 14:30")->format(), "05/03/2024 14:30:00");
    EXPECT_EQ(DateTime::parse("2024-03-05")->format(), "05/03/2024 00:00:00");
}

TEST(TextForms, MalformedTextIsNotADate) {
    const char* bad[] = {"",           "1/1/2000",    "32/01/2000", "29/02/2023",
                         "2000-02-30", "01/01/2000x", "01-01-2000", "2000/01/01",
                         "01/13/2000", " 01/01/2000"};
    for (const char* text : bad) {
        EXPECT_FALSE(Date::parse(text)) << '"' << text << '"';
    }
    const char* badMoments[] = {"01/01/2000 24:00",    "01/01/2000 12:60",    "01/01/2000 12",
                                "2000-01-01T12:00:61", "2000-01-01X12:00",    "2000-01-01T-1:00:00",
                                "2000-01-01T10:00:-1", "2000-01-01T10:-1:00", "-1/01/2000",
                                "2000-01-01T+1:00:00"};
    for (const char* text : badMoments) {
        EXPECT_FALSE(DateTime::parse(text)) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace lembrete
