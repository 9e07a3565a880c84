// Day and month steps of the agenda calendar at their edges, and the captions and reloads
// they cause.
#include <gtest/gtest.h>

#include <set>

#include "shell/calendar_names.h"
#include "support/agenda_fixture.h"
#include "support/component_state.h"

namespace lembrete::testing {
namespace {

Date day(int year, int month, int dayOfMonth) {
    return Date::fromParts(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(dayOfMonth));
}

struct Step {
    const char* name;
    Date from;
    Date expected;
};

std::string stepName(const ::testing::TestParamInfo<Step>& info) {
    return info.param.name;
}

class CalendarStepTest : public AgendaServerTest, public ::testing::WithParamInterface<Step> {
  protected:
    // Selects `from` as a click on the calendar would, then clicks `button`; checks the date
    // reached, the captions and that the list was reloaded once exactly when the date moved.
    void Run(const char* button) {
        TfrmAFazer& form = OpenAgenda();
        form.dbcAFazer.SelectDate(GetParam().from);
        ASSERT_EQ(form.SelectedDate(), GetParam().from);
        TakeCalls();
        form.Get<TSpeedButton>(button).Click();
        const Date expected = GetParam().expected;
        EXPECT_EQ(form.SelectedDate(), expected) << form.SelectedDate().format();
        EXPECT_EQ(form.panDiaAFazer.Caption(), NomeDia(expected));
        EXPECT_EQ(form.panCalendAFazer.Caption(),
                  monthName(expected.month()) + "  " + std::to_string(expected.year()));
        const auto loads = TakeCalls({"GetAFazer"});
        const std::size_t wanted = expected == GetParam().from ? 0 : 1;
        ASSERT_EQ(loads.size(), wanted);
        if (wanted == 1) {
            EXPECT_EQ(loads[0], "GetAFazer(,ANA," + expected.format() + ",False,True,False)");
        }
    }
};

class DayForward : public CalendarStepTest {};
class DayBack : public CalendarStepTest {};
class MonthForward : public CalendarStepTest {};
class MonthBack : public CalendarStepTest {};

TEST_P(DayForward, StepsWithinTheSupportedDates) {
    Run("speDiaPost");
}
TEST_P(DayBack, StepsWithinTheSupportedDates) {
    Run("speDiaAnt");
}
TEST_P(MonthForward, StepsWithinTheSupportedDates) {
    Run("speAFazerPost");
}
TEST_P(MonthBack, StepsWithinTheSupportedDates) {
    Run("speAFazerAnt");
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DayForward,
    ::testing::Values(Step{"MonthEnd", day(2023, 1, 31), day(2023, 2, 1)},
                      Step{"LeapFebruary", day(2024, 2, 28), day(2024, 2, 29)},
                      Step{"LeapDay", day(2024, 2, 29), day(2024, 3, 1)},
                      Step{"YearEnd2019", day(2019, 12, 31), day(2020, 1, 1)},
                      Step{"YearEnd2020", day(2020, 12, 31), day(2021, 1, 1)},
                      Step{"YearEnd2026", day(2026, 12, 31), day(2027, 1, 1)},
                      Step{"BeforeLastDay", day(2099, 12, 30), day(2099, 12, 31)},
                      Step{"LastDayRefused", day(2099, 12, 31), day(2099, 12, 31)},
                      Step{"AfterRangeRefused", day(2100, 6, 1), day(2100, 6, 1)},
                      Step{"BeforeRangeAllowed", day(1999, 12, 31), day(2000, 1, 1)}),
    stepName);

INSTANTIATE_TEST_SUITE_P(
    Edges, DayBack,
    ::testing::Values(Step{"LeapMarch", day(2024, 3, 1), day(2024, 2, 29)},
                      Step{"PlainMarch", day(2023, 3, 1), day(2023, 2, 28)},
                      Step{"Century2100", day(2100, 3, 1), day(2100, 2, 28)},
                      Step{"YearStart", day(2027, 1, 1), day(2026, 12, 31)},
                      Step{"SecondDay", day(2000, 1, 2), day(2000, 1, 1)},
                      Step{"FirstDayRefused", day(2000, 1, 1), day(2000, 1, 1)},
                      Step{"BeforeRangeRefused", day(1999, 6, 1), day(1999, 6, 1)},
                      Step{"AfterRangeAllowed", day(2100, 1, 1), day(2099, 12, 31)}),
    stepName);

INSTANTIATE_TEST_SUITE_P(
    Edges, MonthForward,
    ::testing::Values(Step{"KeepsDay", day(2003, 8, 17), day(2003, 9, 17)},
                      Step{"ClampsToLeapFebruary", day(2024, 1, 31), day(2024, 2, 29)},
                      Step{"ClampsToFebruary", day(2023, 1, 31), day(2023, 2, 28)},
                      Step{"ClampsToThirty", day(2026, 3, 31), day(2026, 4, 30)},
                      Step{"YearEnd2019", day(2019, 12, 15), day(2020, 1, 15)},
                      Step{"YearEnd2020", day(2020, 12, 15), day(2021, 1, 15)},
                      Step{"November2099", day(2099, 11, 30), day(2099, 12, 30)},
                      Step{"December2099Refused", day(2099, 12, 1), day(2099, 12, 1)}),
    stepName);

INSTANTIATE_TEST_SUITE_P(
    Edges, MonthBack,
    ::testing::Values(Step{"January2001", day(2001, 1, 10), day(2000, 12, 10)},
                      Step{"ClampsToFebruary2100", day(2100, 3, 31), day(2100, 2, 28)},
                      Step{"ClampsToLeapFebruary2000", day(2000, 3, 30), day(2000, 2, 29)},
                      Step{"February2000", day(2000, 2, 29), day(2000, 1, 29)},
                      Step{"January2000Refused", day(2000, 1, 31), day(2000, 1, 31)}),
    stepName);

using CalendarTest = AgendaServerTest;

TEST_F(CalendarTest, ActivationSelectsTodayWithItsCaptionsAndWeekday) {
    TfrmAFazer& form = OpenAgenda();
    EXPECT_EQ(form.SelectedDate(), kToday);
    EXPECT_EQ(State(form, {"panCalendAFazer", "panDiaAFazer", "mnuTerAFazer", "mnuDomAFazer"}),
              "panCalendAFazer(clInfoBk 'Dezembro  2026') panDiaAFazer('Terça') "
              "mnuTerAFazer('Terça' checked) mnuDomAFazer('Domingo')");
}

TEST_F(CalendarTest, MonthCaptionReadsNameTwoBlanksAndYear) {
    TfrmAFazer& form = OpenAgenda();
    form.dbcAFazer.SelectDate(day(2003, 7, 17));
    form.speAFazerPost.Click();
    EXPECT_EQ(form.panCalendAFazer.Caption(), "Agosto  2003");
}

TEST_F(CalendarTest, ClickOnADayReloadsOnceAndFollowsWithTheCaptions) {
    TfrmAFazer& form = OpenAgenda();
    TakeCalls();
    form.dbcAFazer.SelectDate(day(2027, 2, 14));
    EXPECT_EQ(TakeCalls({"GetAFazer", "GetDatasAFazer"}),
              (std::vector<std::string>{"GetAFazer(,ANA,14/02/2027,False,True,False)",
                                        "GetDatasAFazer(ANA,24/01/2027,13/03/2027)"}));
    EXPECT_EQ(form.panDiaAFazer.Caption(), "Domingo");
    EXPECT_EQ(form.panCalendAFazer.Caption(), "Fevereiro  2027");
}

TEST_F(CalendarTest, TodayButtonAndShortcutComeBackToToday) {
    TfrmAFazer& form = OpenAgenda();
    form.dbcAFazer.SelectDate(day(2030, 5, 20));
    TakeCalls();
    form.btnHojeDia.Click();
    EXPECT_EQ(form.SelectedDate(), kToday);
    EXPECT_EQ(State(form, {"panCalendAFazer", "panDiaAFazer"}),
              "panCalendAFazer(clInfoBk 'Dezembro  2026') panDiaAFazer('Terça')");
    EXPECT_EQ(TakeCalls({"GetAFazer"}).size(), 1u);

    form.dbcAFazer.SelectDate(day(2030, 5, 20));
    TakeCalls();
    EXPECT_TRUE(form.PressShortCut("Ctrl+H"));
    EXPECT_EQ(form.SelectedDate(), kToday);
    EXPECT_EQ(TakeCalls({"GetAFazer"}).size(), 1u);
}

TEST_F(CalendarTest, MarksTheDaysThatHoldRemindersInTheWeeksShown) {
    Seed("Dentista", DateTime(day(2026, 12, 3), std::chrono::hours(9)));
    Seed("Revisão", DateTime(day(2027, 1, 9), std::chrono::hours(9)));
    Seed("Feira", DateTime(day(2027, 1, 20), std::chrono::hours(9)), "R");
    Seed("Antiga", DateTime(day(2003, 5, 2), std::chrono::hours(9)));
    TfrmAFazer& form = OpenAgenda();
    EXPECT_EQ(form.dbcAFazer.MarkedDays(), (std::set<Date>{day(2026, 12, 3), day(2027, 1, 9)}));
    // A month away the marks follow the weeks now shown.
    form.dbcAFazer.SelectDate(day(2027, 1, 15));
    EXPECT_EQ(form.dbcAFazer.MarkedDays(), (std::set<Date>{day(2027, 1, 9), day(2027, 1, 20)}));
    form.dbcAFazer.SelectDate(day(2003, 5, 30));
    EXPECT_EQ(form.dbcAFazer.MarkedDays(), (std::set<Date>{day(2003, 5, 2)}));
}

TEST(AnoBisexto, FollowsTheGregorianRule) {
    EXPECT_TRUE(TfrmAFazer::AnoBisexto(2024));
    EXPECT_TRUE(TfrmAFazer::AnoBisexto(2000));
    EXPECT_FALSE(TfrmAFazer::AnoBisexto(2100));
    EXPECT_FALSE(TfrmAFazer::AnoBisexto(2023));
}

}  // namespace
}  // namespace lembrete::testing
