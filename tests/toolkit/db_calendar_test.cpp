// The agenda calendar: one change notice per change of the date, element writes at month
// ends, and the days marked from its data source.
#include "toolkit/db_calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

class DBCalendarTest : public ::testing::Test {
  protected:
    DBCalendarTest() {
        calendar.OnChange = [this] { changes.push_back(calendar.GetDate().format()); };
    }
    void start(int year, int month, int day) {
        calendar.SetDate(Date::fromParts(year, month, day));
        changes.clear();
    }

    TForm form{"frmAFazer"};
    TDBCalendar& calendar = form.Add<TDBCalendar>("dbcAFazer");
    std::vector<std::string> changes;
};

TEST_F(DBCalendarTest, ElementsReadAndWriteYearMonthDay) {
    start(2003, 3, 17);
    EXPECT_EQ(calendar.GetDateElement(1), 2003);
    EXPECT_EQ(calendar.GetDateElement(2), 3);
    EXPECT_EQ(calendar.GetDateElement(3), 17);
    calendar.SetDateElement(3, 18);
    EXPECT_EQ(calendar.Day(), 18);
    EXPECT_EQ(changes, (std::vector<std::string>{"18/03/2003"}));
    EXPECT_THROW(calendar.GetDateElement(4), std::out_of_range);
    EXPECT_THROW(calendar.SetDateElement(2, 13), std::out_of_range);
    EXPECT_THROW(calendar.SetDateElement(3, 0), std::out_of_range);
}

TEST_F(DBCalendarTest, WritingAnUnchangedElementRaisesNothing) {
    start(2003, 8, 15);
    calendar.SetDateElement(1, 2003);
    calendar.SetDateElement(2, 8);
    calendar.SetDateElement(3, 15);
    calendar.SetDate(Date::fromParts(2003, 8, 15));
    EXPECT_TRUE(changes.empty());
}

struct ElementWrite {
    const char* name;
    int year, month, day;  // start
    int element, value;
    const char* expected;
};

class DBCalendarMonthEnd : public DBCalendarTest,
                           public ::testing::WithParamInterface<ElementWrite> {};

TEST_P(DBCalendarMonthEnd, SingleWritesNeverMakeAnImpossibleDate) {
    const ElementWrite& write = GetParam();
    start(write.year, write.month, write.day);
    calendar.SetDateElement(write.element, write.value);
    EXPECT_EQ(calendar.GetDate().format(), write.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, DBCalendarMonthEnd,
    ::testing::Values(ElementWrite{"Day31IntoApril", 2003, 4, 10, 3, 31, "30/04/2003"},
                      ElementWrite{"Jan31ToFebruary", 2003, 1, 31, 2, 2, "28/02/2003"},
                      ElementWrite{"Jan31ToFebruaryLeap", 2024, 1, 31, 2, 2, "29/02/2024"},
                      ElementWrite{"LeapDayToCommonYear", 2024, 2, 29, 1, 2023, "28/02/2023"},
                      ElementWrite{"Mar31ToApril", 2003, 3, 31, 2, 4, "30/04/2003"},
                      ElementWrite{"Day30IntoFebruary", 2100, 2, 1, 3, 30, "28/02/2100"},
                      ElementWrite{"Dec31ToNextYear", 2019, 12, 31, 1, 2020, "31/12/2020"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DBCalendarTest, MonthStepWritesRaiseOneChangeForOneNewDate) {
    // Month forward from 31 January, written month, year, day as the agenda does.
    start(2003, 1, 31);
    calendar.SetDateElement(2, 2);
    calendar.SetDateElement(1, 2003);
    calendar.SetDateElement(3, 31);
    EXPECT_EQ(changes, (std::vector<std::string>{"28/02/2003"}));
}

TEST_F(DBCalendarTest, ElementWritesPassThroughADateThatAWholeWriteSkips) {
    // Day forward from 31 January: day 1, month 2, year, day 1. Written one by one the date
    // passes through 1 January; written whole it goes straight to 1 February.
    start(2003, 1, 31);
    for (auto [element, value] : {std::pair{3, 1}, {2, 2}, {1, 2003}, {3, 1}}) {
        calendar.SetDateElement(element, value);
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"01/01/2003", "01/02/2003"}));

    start(2003, 1, 31);
    calendar.SetDate(Date::fromParts(2003, 2, 1));
    EXPECT_EQ(changes, (std::vector<std::string>{"01/02/2003"}));

    start(2003, 2, 28);
    calendar.SetDate(Date::fromParts(2003, 2, 28));
    EXPECT_TRUE(changes.empty());
}

TEST_F(DBCalendarTest, ASelectedDayIsAUserActionAndAnAbandonStopsThere) {
    start(2003, 3, 17);
    calendar.OnChange = [this] {
        changes.push_back(calendar.GetDate().format());
        throw Abandon();
    };
    calendar.SelectDate(Date::fromParts(2003, 3, 20));
    EXPECT_EQ(calendar.GetDate(), Date::fromParts(2003, 3, 20));
    EXPECT_EQ(changes, (std::vector<std::string>{"20/03/2003"}));
}

TEST_F(DBCalendarTest, MarksTheDaysOfTheBoundDataSet) {
    ClientDataSet& dates = form.Make<ClientDataSet>(
        "cdsDatasAFazer", std::vector<FieldDef>{{"DTATIVPESS", FieldType::DateTime, 0, ""}});
    DataSource& source = form.Make<DataSource>("dtsDatasAFazer", &dates);
    DataPacket packet;
    packet.fields = dates.FieldDefs();
    packet.rows = {{Variant(DateTime::fromParts({2003, 3, 17}, 10))},
                   {Variant(DateTime::fromParts({2003, 3, 20}))},
                   {Variant()}};
    calendar.SetDataField("DTATIVPESS");
    calendar.SetDataSource(&source);
    EXPECT_TRUE(calendar.MarkedDays().empty());

    dates.SetData(packet);
    EXPECT_EQ(calendar.MarkedDays().size(), 2u);
    EXPECT_TRUE(calendar.IsMarked(Date::fromParts(2003, 3, 17)));
    EXPECT_FALSE(calendar.IsMarked(Date::fromParts(2003, 3, 18)));

    dates.First();
    dates.Edit();
    dates.FieldByName("DTATIVPESS").SetAsDateTime(DateTime::fromParts({2003, 3, 18}));
    dates.Post();
    EXPECT_TRUE(calendar.IsMarked(Date::fromParts(2003, 3, 18)));
    EXPECT_FALSE(calendar.IsMarked(Date::fromParts(2003, 3, 17)));

    source.SetDataSet(nullptr);
    EXPECT_TRUE(calendar.MarkedDays().empty());
}

TEST_F(DBCalendarTest, ShownDaysCoverEverySixWeekGridOfTheSelectedMonth) {
    struct Case {
        int startOfWeek;
        DateParts selected;
        DateParts first;
        DateParts last;
    };
    const std::vector<Case> cases = {
        // 1 December 2026 is a Tuesday: its week starts on Sunday 29 November.
        {0, {2026, 12, 8}, {2026, 11, 22}, {2027, 1, 9}},
        {0, {2026, 12, 31}, {2026, 11, 22}, {2027, 1, 9}},
        // 1 February 2026 is a Sunday: a grid may start with it or with the week before.
        {0, {2026, 2, 28}, {2026, 1, 25}, {2026, 3, 14}},
        // Weeks from Monday: 1 December 2026's week starts on 30 November.
        {1, {2026, 12, 8}, {2026, 11, 23}, {2027, 1, 10}},
        {0, {2000, 1, 1}, {1999, 12, 19}, {2000, 2, 5}},
    };
    for (const auto& c : cases) {
        calendar.SetStartOfWeek(c.startOfWeek);
        calendar.SetDate(Date::fromParts(c.selected));
        const DayRange shown = calendar.ShownDays();
        EXPECT_EQ(shown.first, Date::fromParts(c.first)) << Date::fromParts(c.selected).iso();
        EXPECT_EQ(shown.last, Date::fromParts(c.last)) << Date::fromParts(c.selected).iso();
        EXPECT_EQ(shown.first.daysUntil(shown.last), 48);
    }
}

TEST(DBCalendarLifetime, AComponentDestroyedBeforeItsSourceLeavesNoObserver) {
    ClientDataSet dates("cdsDatas",
                        std::vector<FieldDef>{{"DTATIVPESS", FieldType::DateTime, 0, ""}});
    DataSource source("dts", &dates);
    {
        TForm form("frm");
        auto& calendar = form.Add<TDBCalendar>("dbc");
        calendar.SetDataField("DTATIVPESS");
        calendar.SetDataSource(&source);
    }
    DataPacket packet;
    packet.fields = dates.FieldDefs();
    packet.rows = {{Variant(DateTime::fromParts({2003, 3, 17}))}};
    dates.SetData(packet);  // would reach a destroyed calendar if the link had stayed
    EXPECT_EQ(dates.RecordCount(), 1);
}

}  // namespace
}  // namespace lembrete
