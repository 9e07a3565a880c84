// The go-to-day dialog, alone through its entry and from the agenda's "Ir Para" button.
#include <gtest/gtest.h>

#include "agenda/frm_ir_para_dia.h"
#include "data/supported_dates.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {
namespace {

using GoToDayTest = AgendaServerTest;

TEST_F(GoToDayTest, CancelLeavesTheDatePassedIn) {
    host_.OnModal("frmIrParaDia", [](TForm& dialog) {
        auto& form = dynamic_cast<TfrmIrParaDia&>(dialog);
        EXPECT_EQ(form.mtcData.GetDate(), Date::fromParts(2031, 4, 9));
        EXPECT_TRUE(form.mtcData.PickDate(Date::fromParts(2031, 5, 1)));
        form.bitCancela.Click();
    });
    std::uint16_t year = 2031, month = 4, dayOfMonth = 9;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    EXPECT_EQ(module_->GoToDay().ChosenDate(), Date::fromParts(2031, 4, 9));
    EXPECT_EQ(module_->GoToDay().dtData(), Date::fromParts(2031, 4, 9).dayNumber());
    EXPECT_EQ(host_.ScreenCursor(), crDefault);
    EXPECT_EQ(TakeCalls({"Cursor", "ShowModal"}),
              (std::vector<std::string>{"Cursor(-11)", "ShowModal(frmIrParaDia)", "Cursor(0)"}));
}

TEST_F(GoToDayTest, TodayThenOkReturnsToday) {
    host_.OnModal("frmIrParaDia", [](TForm& dialog) {
        auto& form = dynamic_cast<TfrmIrParaDia&>(dialog);
        form.bitAtual.Click();
        EXPECT_TRUE(form.Visible());
        form.bitConfirma.Click();
    });
    std::uint16_t year = 2031, month = 4, dayOfMonth = 9;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    EXPECT_EQ(module_->GoToDay().ChosenDate(), kToday);
    EXPECT_EQ(module_->GoToDay().Confirmed(), kToday.parts());
    EXPECT_EQ(year, 2031);  // the arguments are read only
}

TEST_F(GoToDayTest, DatesOutsideTheSupportedRangeCannotBePicked) {
    host_.OnModal("frmIrParaDia", [](TForm& dialog) {
        auto& form = dynamic_cast<TfrmIrParaDia&>(dialog);
        EXPECT_FALSE(form.mtcData.PickDate(kFirstSupportedDate.addDays(-1)));
        EXPECT_FALSE(form.mtcData.PickDate(kLastSupportedDate.addDays(1)));
        EXPECT_TRUE(form.mtcData.PickDate(kLastSupportedDate));
        form.mtcData.DoubleClick();
    });
    std::uint16_t year = 2026, month = 12, dayOfMonth = 8;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    EXPECT_EQ(module_->GoToDay().ChosenDate(), kLastSupportedDate);
}

TEST_F(GoToDayTest, CreatedOnceAndReused) {
    int runs = 0;
    host_.OnModal("frmIrParaDia", [&runs](TForm& dialog) {
        ++runs;
        dynamic_cast<TfrmIrParaDia&>(dialog).bitConfirma.Click();
    });
    std::uint16_t year = 2026, month = 12, dayOfMonth = 8;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    TfrmIrParaDia* first = module_->GoToDay().frmIrParaDia();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Caption(), "Ir para dia");
    EXPECT_EQ(first->lblCodTela.Caption(), "LMB00303");
    dayOfMonth = 9;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    EXPECT_EQ(module_->GoToDay().frmIrParaDia(), first);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(module_->GoToDay().ChosenDate(), Date::fromParts(2026, 12, 9));
}

TEST_F(GoToDayTest, AnImpossibleDateIsReportedAndNothingEscapesTheEntry) {
    std::uint16_t year = 2026, month = 2, dayOfMonth = 31;
    module_->CriaIrParaDia(year, month, dayOfMonth);
    ASSERT_EQ(host_.Errors().size(), 1u);
    EXPECT_EQ(module_->GoToDay().frmIrParaDia(), nullptr);
    EXPECT_EQ(host_.ScreenCursor(), crDefault);
}

TEST_F(GoToDayTest, IrParaMovesTheAgendaToThePickedDay) {
    Seed("Viagem", DateTime(Date::fromParts(2027, 3, 15), std::chrono::hours(8)));
    TfrmAFazer& form = OpenAgenda();
    host_.OnModal("frmIrParaDia", [](TForm& dialog) {
        auto& goTo = dynamic_cast<TfrmIrParaDia&>(dialog);
        EXPECT_EQ(goTo.mtcData.GetDate(), kToday);
        goTo.mtcData.PickDate(Date::fromParts(2027, 3, 15));
        goTo.bitConfirma.Click();
    });
    TakeCalls();
    form.btnIrParaDia.Click();
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2027, 3, 15));
    EXPECT_EQ(form.panCalendAFazer.Caption(), "Março  2027");
    EXPECT_EQ(form.panDiaAFazer.Caption(), "Segunda");
    EXPECT_EQ(TakeCalls({"GetAFazer"}),
              std::vector<std::string>{"GetAFazer(,ANA,15/03/2027,False,True,False)"});
    EXPECT_EQ(ListRows(form), "1 Viagem P");
}

TEST_F(GoToDayTest, CancelledIrParaKeepsTheAgendaDay) {
    TfrmAFazer& form = OpenAgenda();
    host_.OnModal("frmIrParaDia",
                  [](TForm& dialog) { dynamic_cast<TfrmIrParaDia&>(dialog).bitCancela.Click(); });
    TakeCalls();
    form.btnIrParaDia.Click();
    EXPECT_EQ(form.SelectedDate(), kToday);
    EXPECT_TRUE(TakeCalls({"GetAFazer"}).empty());
}

}  // namespace
}  // namespace lembrete::testing
