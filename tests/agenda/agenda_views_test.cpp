// The agenda's "Dia", "Semana" and "Mês" views against a real lembrete-server: switching by
// button and by Ctrl+1/2/3, one range call per change of view, day or filter, the steps and
// "Hoje" moving the view, a click selecting the day and the reminder, a double click editing, the
// arrows and Enter doing the same, and the from-the-day-on box beside a week or a month.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/reminder_record.h"
#include "data/supported_dates.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {
namespace {

DateTime on(int year, int month, int day, int hour) {
    return DateTime(Date::fromParts(year, month, day), std::chrono::hours(hour));
}

// "dd/mm: reference reference" per cell that holds reminders, joined by " | ".
std::string shown(const TCalendarGrid& grid) {
    std::string text;
    for (const auto& cell : grid.View().Cells()) {
        if (cell.entries.empty()) {
            continue;
        }
        text += (text.empty() ? "" : " | ") + cell.day.format().substr(0, 5) + ":";
        for (const auto& entry : cell.entries) {
            text += " " + entry.reference;
        }
        text += cell.hidden > 0 ? " " + cell.moreText() : "";
    }
    return text;
}

using AgendaViewsTest = AgendaServerTest;

TEST_F(AgendaViewsTest, ButtonsAndShortcutsSwitchViewsWithOneCallEach) {
    Seed("Domingo", on(2026, 12, 6, 9));
    Seed("Hoje", on(2026, 12, 8, 9));
    Seed("Sábado", on(2026, 12, 12, 9));
    Seed("Mês que vem", on(2027, 1, 2, 9));
    TfrmAFazer& form = OpenAgenda();
    AgendaViews& views = form.Views();
    EXPECT_FALSE(views.grdVisao.Visible());
    TakeCalls();

    views.sbtSemana.Click();
    EXPECT_TRUE(views.grdVisao.Visible());
    EXPECT_EQ(views.Kind(), ViewKind::Week);
    EXPECT_TRUE(views.sbtSemana.Font().bold);
    EXPECT_EQ(shown(views.grdVisao), "06/12: Domingo | 08/12: Hoje | 12/12: Sábado");
    EXPECT_EQ(
        TakeCalls({"GetAFazerPeriodo"}),
        (std::vector<std::string>{"GetAFazerPeriodo(,ANA,06/12/2026,12/12/2026,False,True)"}));

    EXPECT_TRUE(form.PressShortCut("Ctrl+3"));
    EXPECT_EQ(views.Kind(), ViewKind::Month);
    EXPECT_EQ(views.grdVisao.View().Weeks(), 5);
    EXPECT_EQ(shown(views.grdVisao),
              "06/12: Domingo | 08/12: Hoje | 12/12: Sábado | 02/01: Mês que vem");
    EXPECT_EQ(
        TakeCalls({"GetAFazerPeriodo"}),
        (std::vector<std::string>{"GetAFazerPeriodo(,ANA,29/11/2026,02/01/2027,False,True)"}));

    EXPECT_TRUE(form.PressShortCut("Ctrl+1"));
    EXPECT_FALSE(views.grdVisao.Visible());
    EXPECT_TRUE(TakeCalls({"GetAFazerPeriodo"}).empty());
    EXPECT_TRUE(form.PressShortCut("Ctrl+2"));
    EXPECT_EQ(views.Kind(), ViewKind::Week);
}

TEST_F(AgendaViewsTest, FiltersApplyAndStepsAndTodayMoveTheView) {
    Seed("Reunião pendente", on(2026, 12, 8, 9));
    Seed("Reuniao feita", on(2026, 12, 9, 9), "R");
    Seed("Outra", on(2026, 12, 10, 9));
    Seed("Ano novo", on(2027, 1, 1, 9));
    TfrmAFazer& form = OpenAgenda();
    AgendaViews& views = form.Views();
    views.sbtSemana.Click();
    EXPECT_EQ(shown(views.grdVisao), "08/12: Reunião pendente | 10/12: Outra");
    form.ckcRealizados.Click();
    EXPECT_EQ(shown(views.grdVisao),
              "08/12: Reunião pendente | 09/12: Reuniao feita | 10/12: Outra");
    TakeCalls();
    form.edtReferencia.TypeText("REUNI");
    EXPECT_EQ(shown(views.grdVisao), "08/12: Reunião pendente | 09/12: Reuniao feita");
    // One range call per keystroke, as the list's own.
    EXPECT_EQ(TakeCalls({"GetAFazerPeriodo"}).size(), 5u);
    form.edtReferencia.SetText("");

    form.speAFazerPost.Click();  // a month forward: the week of 8 January
    EXPECT_EQ(views.grdVisao.View().Range().first, Date::fromParts(2027, 1, 3));
    for (int step = 0; step < 6; ++step) {
        form.speDiaAnt.Click();  // 2 January: the week of the year end
    }
    EXPECT_EQ(views.grdVisao.View().Range().first, Date::fromParts(2026, 12, 27));
    EXPECT_EQ(shown(views.grdVisao), "01/01: Ano novo");
    TakeCalls();
    form.btnHojeDia.Click();
    EXPECT_EQ(views.grdVisao.View().Range().first, Date::fromParts(2026, 12, 6));
    EXPECT_TRUE(views.grdVisao.View().Cells()[2].today);
    EXPECT_EQ(TakeCalls({"GetAFazerPeriodo"}),
              (std::vector<std::string>{"GetAFazerPeriodo(,ANA,06/12/2026,12/12/2026,True,True)"}));
}

TEST_F(AgendaViewsTest, AClickSelectsTheDayAndTheReminderADoubleClickEdits) {
    Seed("Cedo", on(2026, 12, 10, 8));
    const std::string late = Seed("Tarde", on(2026, 12, 10, 17));
    TfrmAFazer& form = OpenAgenda();
    AgendaViews& views = form.Views();
    views.sbtMes.Click();
    const int cell = views.grdVisao.View().CellOf(Date::fromParts(2026, 12, 10));
    views.grdVisao.ClickCell(cell, 1);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 10));
    EXPECT_EQ(ListRows(form), "1 Cedo P; " + late + " Tarde P");
    EXPECT_EQ(form.cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(), late);
    EXPECT_TRUE(views.grdVisao.View().Cells()[cell].selected);
    EXPECT_EQ(form.panDiaAFazer.Caption(), "Quinta");

    views.grdVisao.DblClickCell(cell, 0);
    EXPECT_EQ(editorCalls_, (std::vector<std::pair<std::string, bool>>{{"1", true}}));
    views.grdVisao.DblClickCell(views.grdVisao.View().CellOf(Date::fromParts(2026, 12, 24)), -1);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 24));
    ASSERT_EQ(editorCalls_.size(), 2u);
    EXPECT_EQ(editorCalls_.back(), (std::pair<std::string, bool>{"", true}));
    // Outside the view nothing happens.
    views.grdVisao.ClickCell(99, -1);
    views.grdVisao.ClickCell(cell, 5);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 24));
}

TEST_F(AgendaViewsTest, DaysBeforeTheSupportedDatesShownByAViewCannotBeSelected) {
    TfrmAFazer& form = OpenAgenda();
    form.dbcAFazer.SetDate(kFirstSupportedDate);
    AgendaViews& views = form.Views();
    views.sbtMes.Click();
    const auto& view = views.grdVisao.View();
    ASSERT_EQ(view.Cells().front().day, Date::fromParts(1999, 12, 26));
    views.grdVisao.ClickCell(0, -1);
    views.grdVisao.DblClickCell(0, -1);
    EXPECT_EQ(form.SelectedDate(), kFirstSupportedDate);
    EXPECT_TRUE(editorCalls_.empty());
    views.grdVisao.ClickCell(view.CellOf(Date::fromParts(2000, 1, 3)), -1);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2000, 1, 3));
}

TEST_F(AgendaViewsTest, FromTheDayOnWaitsDisabledBesideAWeekOrAMonth) {
    const std::string today = Seed("Hoje", on(2026, 12, 8, 9));
    const std::string later = Seed("Depois", on(2026, 12, 20, 9));
    TfrmAFazer& form = OpenAgenda();
    AgendaViews& views = form.Views();
    form.ckcTodos.Click();
    EXPECT_EQ(ListRows(form), today + " Hoje P; " + later + " Depois P");
    TakeCalls();

    views.sbtSemana.Click();
    EXPECT_FALSE(form.ckcTodos.Enabled());
    EXPECT_TRUE(form.ckcTodos.Checked());
    EXPECT_EQ(form.ckcTodos.Hint(), AgendaViews::kFromDayOnHint);
    // The list below the week is the day the week frames.
    EXPECT_EQ(ListRows(form), today + " Hoje P");
    EXPECT_EQ(TakeCalls({"GetAFazer("}),
              (std::vector<std::string>{"GetAFazer(,ANA,08/12/2026,False,True,False)"}));
    views.sbtMes.Click();
    EXPECT_FALSE(form.ckcTodos.Enabled());
    EXPECT_TRUE(TakeCalls({"GetAFazer("}).empty());

    views.sbtDia.Click();
    EXPECT_TRUE(form.ckcTodos.Enabled());
    EXPECT_EQ(form.ckcTodos.Hint(), "");
    EXPECT_EQ(ListRows(form), today + " Hoje P; " + later + " Depois P");
    EXPECT_EQ(TakeCalls({"GetAFazer("}),
              (std::vector<std::string>{"GetAFazer(,ANA,08/12/2026,False,True,True)"}));
}

TEST_F(AgendaViewsTest, ArrowsMoveTheDayAndTheReminderAndEnterEdits) {
    const std::string early = Seed("Cedo", on(2026, 12, 10, 8));
    const std::string late = Seed("Tarde", on(2026, 12, 10, 17));
    TfrmAFazer& form = OpenAgenda();
    AgendaViews& views = form.Views();
    TCalendarGrid& grid = views.grdVisao;
    const auto current = [&] {
        return form.cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString();
    };
    views.sbtSemana.Click();
    grid.ClickCell(grid.View().CellOf(Date::fromParts(2026, 12, 10)), -1);
    grid.PressKey(ViewKey::Down);
    EXPECT_EQ(grid.View().Current(), 0);
    EXPECT_EQ(current(), early);
    grid.PressKey(ViewKey::Down);
    grid.PressKey(ViewKey::Down);
    EXPECT_EQ(grid.View().Current(), 1);
    EXPECT_EQ(current(), late);
    grid.PressKey(ViewKey::Enter);
    EXPECT_EQ(editorCalls_, (std::vector<std::pair<std::string, bool>>{{late, true}}));
    grid.PressKey(ViewKey::Up);
    grid.PressKey(ViewKey::Up);
    EXPECT_EQ(grid.View().Current(), -1);
    grid.PressKey(ViewKey::Enter);  // on the day itself: a new reminder, as a double click
    ASSERT_EQ(editorCalls_.size(), 2u);
    EXPECT_EQ(editorCalls_.back(), (std::pair<std::string, bool>{"", true}));

    // A click leaves the keyboard on the reminder clicked.
    grid.ClickCell(grid.View().CellOf(Date::fromParts(2026, 12, 10)), 1);
    EXPECT_EQ(grid.View().Current(), 1);
    grid.PressKey(ViewKey::Up);
    EXPECT_EQ(current(), early);

    for (int step = 0; step < 3; ++step) {
        grid.PressKey(ViewKey::Right);  // past Saturday: the next week
    }
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 13));
    EXPECT_EQ(grid.View().Range().first, Date::fromParts(2026, 12, 13));
    EXPECT_EQ(grid.View().Current(), -1);
    grid.PressKey(ViewKey::Left);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 12));
    EXPECT_EQ(grid.View().Range().first, Date::fromParts(2026, 12, 6));

    views.sbtMes.Click();
    grid.PressKey(ViewKey::Down);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 19));
    grid.PressKey(ViewKey::Up);
    grid.PressKey(ViewKey::Up);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 5));
    // Keys do nothing while the view is hidden.
    views.sbtDia.Click();
    grid.PressKey(ViewKey::Right);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2026, 12, 5));
}

TEST_F(AgendaViewsTest, PrintingPrintsTheViewShown) {
    Seed("Domingo", on(2026, 12, 6, 9));
    Seed("Hoje", on(2026, 12, 8, 9));
    Seed("Outra semana", on(2026, 12, 14, 9));
    TfrmAFazer& form = OpenAgenda();
    form.Views().sbtSemana.Click();
    form.sbtImprimir.Click();
    ASSERT_EQ(host_.Printed().size(), 1u);
    const PrintDocument& week = host_.Printed().back();
    EXPECT_EQ(week.title, "Lembretes da semana: 06/12/2026 a 12/12/2026");
    ASSERT_EQ(week.sections.size(), 2u);
    EXPECT_EQ(week.RowCount(), 2);
    EXPECT_NE(std::find(week.lines.begin(), week.lines.end(), "De 06/12/2026 a 12/12/2026"),
              week.lines.end());

    form.Views().sbtMes.Click();
    form.sbtImprimir.Click();
    ASSERT_EQ(host_.Printed().size(), 2u);
    EXPECT_EQ(host_.Printed().back().title, "Lembretes do mês: Dezembro  2026");
    EXPECT_EQ(host_.Printed().back().RowCount(), 3);

    form.Views().sbtDia.Click();
    form.sbtImprimir.Click();
    ASSERT_EQ(host_.Printed().size(), 3u);
    EXPECT_EQ(host_.Printed().back().RowCount(), 1);  // the day's list, as before
}

}  // namespace
}  // namespace lembrete::testing
