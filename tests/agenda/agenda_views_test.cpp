// The agenda's "Dia", "Semana" and "Mês" views against a real lembrete-server: switching by
// button and by Ctrl+1/2/3, one range call per change of view, day or filter, the steps and
// "Hoje" moving the view, a click selecting the day and the reminder, a double click editing.
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
