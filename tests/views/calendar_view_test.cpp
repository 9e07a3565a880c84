// CalendarView without a screen or a server: which days a week and a month show, which
// reminders fall in which cell and what each cell shows, what a click selects.
#include "views/calendar_view.h"

#include <gtest/gtest.h>

#include "data/reminder_record.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

DateTime at(Date day, int hour, int minute = 0) {
    return DateTime(day, std::chrono::minutes(hour * 60 + minute));
}

const Date kToday = Date::fromParts(2026, 12, 8);
const DateTime kNow = at(kToday, 10);

// Rows as GetAFazerPeriodo returns them: in date-time order.
class Rows {
  public:
    Rows() : rows_("cdsVisao", ReminderRecord::layout()) {}
    Rows& add(const std::string& number, const std::string& reference, DateTime when,
              const std::string& state = "P", const std::string& alarm = "N") {
        packet_.rows.push_back(reminderRow({"ANA", number, reference, when, state, alarm}));
        return *this;
    }
    const ClientDataSet& dataSet() {
        packet_.fields = ReminderRecord::fields();
        rows_.SetData(packet_);
        return rows_;
    }

  private:
    DataPacket packet_;
    ClientDataSet rows_;
};

// "dd/mm[*today][>selected][~other month]: entries +N" per cell, joined by " | ".
std::string render(const CalendarView& view) {
    std::string text;
    for (const auto& cell : view.Cells()) {
        text += text.empty() ? "" : " | ";
        text += cell.day.format().substr(0, 5);
        text += cell.today ? "*" : "";
        text += cell.selected ? ">" : "";
        text += cell.inMonth ? "" : "~";
        for (const auto& entry : cell.entries) {
            text += " " + entry.time() + " " + entry.reference + (entry.alarm ? "(a)" : "") +
                    (entry.done ? "(ok)" : "") + (entry.overdue ? "(!)" : "");
        }
        text += cell.hidden > 0 ? " " + cell.moreText() : "";
    }
    return text;
}

TEST(CalendarViewRange, WeeksRunSundayToSaturdayAndMonthsWholeWeeks) {
    struct Case {
        const char* name;
        ViewKind kind;
        Date selected;
        Date first;
        Date last;
    };
    const Case cases[] = {
        {"a week inside a month", ViewKind::Week, Date::fromParts(2026, 12, 9),
         Date::fromParts(2026, 12, 6), Date::fromParts(2026, 12, 12)},
        {"a Sunday starts its week", ViewKind::Week, Date::fromParts(2026, 12, 6),
         Date::fromParts(2026, 12, 6), Date::fromParts(2026, 12, 12)},
        {"a Saturday ends its week", ViewKind::Week, Date::fromParts(2026, 12, 12),
         Date::fromParts(2026, 12, 6), Date::fromParts(2026, 12, 12)},
        {"a week across a month end", ViewKind::Week, Date::fromParts(2026, 10, 1),
         Date::fromParts(2026, 9, 27), Date::fromParts(2026, 10, 3)},
        {"a week across a year end", ViewKind::Week, Date::fromParts(2026, 12, 31),
         Date::fromParts(2026, 12, 27), Date::fromParts(2027, 1, 2)},
        {"a February of four rows", ViewKind::Month, Date::fromParts(2015, 2, 10),
         Date::fromParts(2015, 2, 1), Date::fromParts(2015, 2, 28)},
        {"a month of five rows", ViewKind::Month, Date::fromParts(2026, 12, 8),
         Date::fromParts(2026, 11, 29), Date::fromParts(2027, 1, 2)},
        {"a month of six rows", ViewKind::Month, Date::fromParts(2026, 8, 31),
         Date::fromParts(2026, 7, 26), Date::fromParts(2026, 9, 5)},
        {"the day alone", ViewKind::Day, Date::fromParts(2026, 8, 31), Date::fromParts(2026, 8, 31),
         Date::fromParts(2026, 8, 31)},
    };
    for (const auto& c : cases) {
        const DayRange range = CalendarView::RangeOf(c.kind, c.selected);
        EXPECT_EQ(range.first, c.first) << c.name;
        EXPECT_EQ(range.last, c.last) << c.name;
        EXPECT_EQ(range.first.weekday(), c.kind == ViewKind::Day ? c.selected.weekday() : 1)
            << c.name;
    }
}

TEST(CalendarViewWeek, AWeekAcrossTheYearEndPutsEachReminderOnItsDay) {
    Rows rows;
    rows.add("1", "Antes", at(Date::fromParts(2026, 12, 26), 23, 59))
        .add("2", "Réveillon", at(Date::fromParts(2026, 12, 31), 22), "P", "S")
        .add("3", "Ceia", at(Date::fromParts(2026, 12, 31), 23, 30), "R")
        .add("4", "Ano novo", at(Date::fromParts(2027, 1, 1), 0))
        .add("5", "Depois", at(Date::fromParts(2027, 1, 3), 8));
    const CalendarView view(ViewKind::Week, Date::fromParts(2026, 12, 31), kToday, kNow,
                            rows.dataSet());
    EXPECT_EQ(view.Weeks(), 1);
    EXPECT_EQ(view.Caption(), "27/12/2026 a 02/01/2027");
    EXPECT_EQ(render(view),
              "27/12 | 28/12 | 29/12 | 30/12 | 31/12> 22:00 Réveillon(a) 23:30 Ceia(ok) | "
              "01/01 00:00 Ano novo | 02/01");
}

TEST(CalendarViewWeek, TodayAndOverdueRemindersAreMarked) {
    Rows rows;
    rows.add("1", "Ontem", at(kToday.addDays(-1), 9))
        .add("2", "Feito ontem", at(kToday.addDays(-1), 9), "R")
        .add("3", "Cedo", at(kToday, 9, 59))
        .add("4", "Agora", at(kToday, 10))
        .add("5", "Amanhã", at(kToday.addDays(1), 8));
    const CalendarView view(ViewKind::Week, kToday.addDays(1), kToday, kNow, rows.dataSet());
    EXPECT_EQ(render(view),
              "06/12 | 07/12 09:00 Ontem(!) 09:00 Feito ontem(ok) | 08/12* 09:59 Cedo(!) 10:00 "
              "Agora | 09/12> 08:00 Amanhã | 10/12 | 11/12 | 12/12");
    EXPECT_TRUE(view.Cells()[1].anyOverdue());
    EXPECT_FALSE(view.Cells()[3].anyOverdue());
}

TEST(CalendarViewWeek, ADayWithFortyRemindersShowsThemAllInTimeOrder) {
    Rows rows;
    for (int i = 0; i < 40; ++i) {
        rows.add(std::to_string(i + 1), "R" + std::to_string(i),
                 at(kToday, 6 + i / 4, (i % 4) * 15));
    }
    const CalendarView view(ViewKind::Week, kToday, kToday, kNow, rows.dataSet());
    const DayCell& day = view.Cells()[view.CellOf(kToday)];
    ASSERT_EQ(day.entries.size(), 40u);
    EXPECT_EQ(day.hidden, 0);
    EXPECT_EQ(day.moreText(), "");
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(day.entries[i].reference, "R" + std::to_string(i));
    }
    EXPECT_EQ(view.Hit(view.CellOf(kToday), 39), (ViewSelection{kToday, "40"}));
}

TEST(CalendarViewMonth, SixRowsWithTheNeighbouringDaysMarkedAndPlusN) {
    const Date selected = Date::fromParts(2026, 8, 31);
    Rows rows;
    rows.add("1", "Julho", at(Date::fromParts(2026, 7, 26), 9));
    for (int i = 0; i < 40; ++i) {
        rows.add(std::to_string(i + 2), "D" + std::to_string(i),
                 at(Date::fromParts(2026, 8, 15), 8, i));
    }
    rows.add("50", "Setembro", at(Date::fromParts(2026, 9, 5), 9));
    const CalendarView view(ViewKind::Month, selected, kToday, kNow, rows.dataSet());
    EXPECT_EQ(view.Weeks(), 6);
    EXPECT_EQ(view.Caption(), "Agosto  2026");
    EXPECT_EQ(view.Cells().front().day, Date::fromParts(2026, 7, 26));
    EXPECT_FALSE(view.Cells().front().inMonth);
    EXPECT_EQ(view.Cells().front().entries.size(), 1u);
    EXPECT_FALSE(view.Cells().back().inMonth);
    EXPECT_EQ(view.Cells().back().entries.front().reference, "Setembro");
    const DayCell& busy = view.Cells()[view.CellOf(Date::fromParts(2026, 8, 15))];
    ASSERT_EQ(busy.entries.size(), static_cast<std::size_t>(CalendarView::kMonthEntries));
    EXPECT_EQ(busy.entries[0].reference, "D0");
    EXPECT_EQ(busy.entries[2].reference, "D2");
    EXPECT_EQ(busy.hidden, 37);
    EXPECT_EQ(busy.moreText(), "+37");
    EXPECT_TRUE(view.Cells()[view.CellOf(selected)].selected);
    EXPECT_EQ(CalendarView::ColumnTitles().front(), "Domingo");
    EXPECT_EQ(CalendarView::ColumnTitles().back(), "Sábado");
}

TEST(CalendarViewClicks, ACellSelectsItsDayAndAnEntryItsReminderToo) {
    Rows rows;
    rows.add("7", "Consulta", at(kToday, 14));
    const CalendarView view(ViewKind::Month, kToday, kToday, kNow, rows.dataSet());
    const int cell = view.CellOf(kToday);
    EXPECT_EQ(view.Hit(cell, 0), (ViewSelection{kToday, "7"}));
    EXPECT_EQ(view.Hit(cell, -1), (ViewSelection{kToday, ""}));
    EXPECT_EQ(view.Hit(0, -1), (ViewSelection{Date::fromParts(2026, 11, 29), ""}));
    EXPECT_THROW(view.Hit(cell, 1), std::out_of_range);
    EXPECT_THROW(view.Hit(35, -1), std::out_of_range);
    EXPECT_EQ(view.CellOf(Date::fromParts(2027, 1, 3)), -1);
}

TEST(CalendarViewRows, RowsOutsideTheRangeOrWithoutADateAreLeftOut) {
    Rows rows;
    rows.add("1", "Fora", at(Date::fromParts(2027, 1, 3), 9)).add("2", "Dentro", at(kToday, 9));
    ClientDataSet closed("cdsVisao", ReminderRecord::layout());
    EXPECT_EQ(render(CalendarView(ViewKind::Week, kToday, kToday, kNow, closed)),
              "06/12 | 07/12 | 08/12*> | 09/12 | 10/12 | 11/12 | 12/12");
    EXPECT_EQ(render(CalendarView(ViewKind::Week, kToday, kToday, kNow, rows.dataSet())),
              "06/12 | 07/12 | 08/12*> 09:00 Dentro(!) | 09/12 | 10/12 | 11/12 | 12/12");
}

TEST(CalendarViewKeys, ArrowsStepDaysEntriesAndWeeksEnterStaysPut) {
    const Date saturday = Date::fromParts(2026, 12, 12);
    Rows rows;
    rows.add("1", "Cedo", at(saturday, 8)).add("2", "Tarde", at(saturday, 17));
    const ClientDataSet& data = rows.dataSet();
    struct Case {
        const char* name;
        ViewKind kind;
        int current;
        ViewKey key;
        ViewSelection expected;
    };
    const Date sunday = Date::fromParts(2026, 12, 13);
    const Case cases[] = {
        {"right past a week's end", ViewKind::Week, -1, ViewKey::Right, {sunday, ""}},
        {"left", ViewKind::Week, 1, ViewKey::Left, {saturday.addDays(-1), ""}},
        {"down from the day: the first", ViewKind::Week, -1, ViewKey::Down, {saturday, "1"}},
        {"down to the next", ViewKind::Week, 0, ViewKey::Down, {saturday, "2"}},
        {"down at the last stays", ViewKind::Week, 1, ViewKey::Down, {saturday, "2"}},
        {"up from the first: the day", ViewKind::Week, 0, ViewKey::Up, {saturday, ""}},
        {"up at the day stays", ViewKind::Week, -1, ViewKey::Up, {saturday, ""}},
        {"enter on an entry", ViewKind::Week, 1, ViewKey::Enter, {saturday, "2"}},
        {"enter on the day", ViewKind::Week, -1, ViewKey::Enter, {saturday, ""}},
        {"a month's up: a week before",
         ViewKind::Month,
         0,
         ViewKey::Up,
         {saturday.addDays(-7), ""}},
        {"a month's down: into the next month",
         ViewKind::Month,
         -1,
         ViewKey::Down,
         {Date::fromParts(2026, 12, 19), ""}},
        {"a month's enter", ViewKind::Month, 0, ViewKey::Enter, {saturday, "1"}},
    };
    for (const auto& c : cases) {
        CalendarView view(c.kind, saturday, kToday, kNow, data);
        view.SetCurrent(c.current);
        EXPECT_EQ(view.Step(c.key), c.expected) << c.name;
    }
}

TEST(CalendarViewKeys, TheKeyboardStandsOnlyOnAnEntryTheSelectedDayShows) {
    Rows rows;
    rows.add("1", "Um", at(kToday, 8)).add("2", "Dois", at(kToday, 9));
    CalendarView view(ViewKind::Week, kToday, kToday, kNow, rows.dataSet());
    EXPECT_EQ(view.Current(), -1);
    view.SetCurrent(1);
    EXPECT_EQ(view.Current(), 1);
    view.SetCurrent(2);
    EXPECT_EQ(view.Current(), -1);
    const int cell = view.CellOf(kToday);
    EXPECT_EQ(view.EntryOf(cell, "2"), 1);
    EXPECT_EQ(view.EntryOf(cell, "3"), -1);
    EXPECT_EQ(view.EntryOf(cell + 1, "2"), -1);
    EXPECT_EQ(view.EntryOf(99, "1"), -1);
}

}  // namespace
}  // namespace lembrete::testing
