// The simple controls: limits of the edit boxes, check and radio semantics, lists, pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/check_box.h"
#include "toolkit/combo_box.h"
#include "toolkit/date_edit.h"
#include "toolkit/date_time_picker.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"
#include "toolkit/mask_edit.h"
#include "toolkit/messages.h"
#include "toolkit/month_calendar.h"
#include "toolkit/page_control.h"
#include "toolkit/radio_button.h"
#include "toolkit/rich_edit.h"
#include "toolkit/spin_edit.h"

namespace lembrete {
namespace {

using namespace std::chrono_literals;

class ControlsTest : public ::testing::Test {
  protected:
    TForm form{"frmTeste"};
    std::vector<std::string> events;
};

TEST_F(ControlsTest, EditRefusesTextBeyondMaxLengthCountingCharacters) {
    auto& edt = form.Add<TEdit>("edtReferencia");
    edt.SetMaxLength(10);
    edt.OnChange = [&] { events.push_back(edt.Text()); };
    edt.SetText("Referência");  // 10 characters, 11 bytes
    EXPECT_EQ(edt.Text(), "Referência");
    EXPECT_THROW(edt.SetText("Referências"), std::invalid_argument);
    EXPECT_EQ(edt.Text(), "Referência");
    edt.Clear();
    edt.TypeText("abcdefghijkl");  // the last two keystrokes are refused
    EXPECT_EQ(edt.Text(), "abcdefghij");
    EXPECT_EQ(events.size(), 12u);  // set, clear, ten keystrokes
    EXPECT_EQ(events[2], "a");
    EXPECT_FALSE(edt.EnterText("abcdefghijk"));
    edt.Backspace();
    EXPECT_EQ(edt.Text(), "abcdefghi");
}

TEST_F(ControlsTest, ReadOnlyRichEditIgnoresTypingButTakesCode) {
    auto& rich = form.Add<TRichEdit>("dbrDesc");
    rich.SetReadOnly(true);
    rich.TypeText("x");
    EXPECT_EQ(rich.Text(), "");
    rich.SetText("{\\rtf1 texto}");
    EXPECT_EQ(rich.Text(), "{\\rtf1 texto}");
}

TEST_F(ControlsTest, PriorityMaskTakesUpToThreeDigits) {
    auto& med = form.Add<TMaskEdit>("medPrioridade");
    med.SetEditMask("999;0; ");
    med.TypeText("1a2345");
    EXPECT_EQ(med.Text(), "123");
    EXPECT_EQ(med.DisplayText(), "123");
    med.SetText("5");
    EXPECT_EQ(med.Text(), "5");
    EXPECT_EQ(med.DisplayText(), "5  ");
    EXPECT_THROW(med.SetText("1234"), std::invalid_argument);
    EXPECT_THROW(med.SetText("1x"), std::invalid_argument);
    med.Clear();
    EXPECT_EQ(med.DisplayText(), "   ");
    EXPECT_TRUE(med.Complete());
}

TEST_F(ControlsTest, MaskLiteralsAreShownButNotStored) {
    auto& med = form.Add<TMaskEdit>("medHora");
    med.SetEditMask("00:00;0;_");
    med.SetText("08");
    EXPECT_EQ(med.DisplayText(), "08:__");
    EXPECT_FALSE(med.Complete());
    med.SetText("0830");
    EXPECT_TRUE(med.Complete());
    EXPECT_THROW(med.SetEditMask("00:00;1;_"), std::invalid_argument);
}

TEST_F(ControlsTest, SpinEditValueTextAndRange) {
    auto& spe = form.Add<TSpinEdit>("speAlarme");
    auto& other = form.Add<TEdit>("edtOutro");
    spe.SetRange(1, 1000);
    spe.SetValue(5);
    EXPECT_EQ(spe.Text(), "5");
    spe.SetValue(5000);
    EXPECT_EQ(spe.Text(), "1000");

    spe.SetFocus();
    spe.Clear();
    spe.TypeText("-");  // a sign alone while typing
    EXPECT_EQ(spe.Text(), "-");
    EXPECT_EQ(spe.Value(), 1);
    spe.TypeText("7x");
    EXPECT_EQ(spe.Text(), "-7");
    other.SetFocus();  // leaving brings the number into range
    EXPECT_EQ(spe.Text(), "1");

    spe.SetFocus();
    spe.Clear();
    other.SetFocus();  // an empty box stays empty
    EXPECT_EQ(spe.Text(), "");
    EXPECT_EQ(spe.Value(), 1);

    spe.SetValue(1000);
    spe.StepUp();
    EXPECT_EQ(spe.Value(), 1000);
    spe.StepDown();
    EXPECT_EQ(spe.Value(), 999);
    EXPECT_THROW(spe.SetText("12a"), std::invalid_argument);
    EXPECT_THROW(spe.SetRange(5, 1), std::invalid_argument);
}

TEST_F(ControlsTest, CheckBoxClickFiresOnEveryChangeByCodeOrUser) {
    auto& ckc = form.Add<TCheckBox>("ckcPendentes");
    ckc.OnClick = [&] { events.push_back(ckc.Checked() ? "on" : "off"); };
    ckc.SetChecked(true);
    ckc.SetChecked(true);
    ckc.Click();
    EXPECT_EQ(events, (std::vector<std::string>{"on", "off"}));
}

TEST_F(ControlsTest, RadioButtonsOfOneGroupExcludeEachOther) {
    auto& termina = form.Add<TRadioButton>("rdbTermina");
    auto& semData = form.Add<TRadioButton>("rdbSemData");
    auto& outro = form.Add<TRadioButton>("rdbOutro");
    outro.SetGroup("outro");
    termina.SetChecked(true);
    outro.SetChecked(true);
    termina.OnClick = [&] { events.push_back("termina"); };
    semData.OnClick = [&] { events.push_back("semData"); };
    semData.Click();
    EXPECT_TRUE(semData.Checked());
    EXPECT_FALSE(termina.Checked());
    EXPECT_TRUE(outro.Checked());
    semData.Click();  // already checked: nothing
    termina.Click();
    EXPECT_EQ(events, (std::vector<std::string>{"semData", "termina"}));
}

TEST_F(ControlsTest, ComboBoxRaisesChangeOnlyForTheUser) {
    auto& cbb = form.Add<TComboBox>("cbbAlarme");
    cbb.SetItems({"minutos antes", "horas antes", "dias antes"});
    cbb.OnChange = [&] { events.push_back(cbb.Text()); };
    cbb.SetItemIndex(1);
    EXPECT_EQ(cbb.Text(), "horas antes");
    cbb.SelectItem(2);
    cbb.SetItemIndex(-1);
    EXPECT_EQ(cbb.Text(), "");
    EXPECT_THROW(cbb.SetItemIndex(3), std::out_of_range);
    EXPECT_EQ(events, (std::vector<std::string>{"dias antes"}));
}

TEST_F(ControlsTest, DateEditKeepsOrDropsTheTime) {
    auto& dep = form.Add<TDateEdit>("depData");
    const auto when = DateTime::fromParts({2007, 7, 16}, 14, 30);
    dep.SetDate(when);
    EXPECT_EQ(dep.GetDate(), DateTime(when.date()));
    dep.SetSaveTime(true);
    dep.SetDate(when);
    EXPECT_TRUE(dep.EnterText("17/07/2007"));
    EXPECT_EQ(dep.GetDate(), DateTime::fromParts({2007, 7, 17}, 14, 30));
    EXPECT_EQ(dep.WeekdayName(), "Terça");
    EXPECT_FALSE(dep.EnterText("31/02/2007"));
    EXPECT_EQ(dep.Text(), "17/07/2007");
    EXPECT_TRUE(dep.EnterText(""));
    EXPECT_TRUE(dep.Empty());
    EXPECT_EQ(dep.WeekdayName(), "");
}

TEST_F(ControlsTest, TimePickerHoldsTheTimeOfDay) {
    auto& dtp = form.Add<TDateTimePicker>("dtpHora");
    dtp.SetTime(8h);
    EXPECT_EQ(dtp.Text(), "08:00:00");
    EXPECT_TRUE(dtp.EnterText("13:45"));
    EXPECT_EQ(dtp.Time(), 13h + 45min);
    EXPECT_FALSE(dtp.EnterText("25:00"));
    EXPECT_THROW(dtp.SetTime(24h), std::invalid_argument);
}

TEST_F(ControlsTest, PageControlChangeOnlyForTheUser) {
    auto& pgc = form.Add<TPageControl>("pgcGeral");
    auto& geral = form.Add<TTabSheet>("tshGeral");
    auto& repeticao = form.Add<TTabSheet>("tshRepeticao");
    pgc.AddPage(geral);
    pgc.AddPage(repeticao);
    pgc.OnChange = [&] { events.push_back(pgc.ActivePage()->Name()); };
    EXPECT_EQ(pgc.ActivePage(), &geral);
    pgc.SetActivePage(repeticao);
    pgc.SelectPage(geral);
    EXPECT_EQ(pgc.ActivePageIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"tshGeral"}));

    // Controls on the inactive page are not on screen and take no clicks.
    auto& rdb = form.Add<TRadioButton>("rdbTermina");
    rdb.SetParent(&repeticao);
    rdb.Click();
    EXPECT_FALSE(rdb.Showing());
    EXPECT_FALSE(rdb.Checked());
    pgc.SelectPage(repeticao);
    rdb.Click();
    EXPECT_TRUE(rdb.Checked());
}

TEST_F(ControlsTest, MonthCalendarRefusesDaysOutsideItsRange) {
    auto& mtc = form.Add<TMonthCalendar>("mtcData");
    mtc.SetRange(Date::fromParts(2000, 1, 1), Date::fromParts(2015, 12, 31));
    mtc.OnClick = [&] { events.push_back(mtc.GetDate().format()); };
    EXPECT_FALSE(mtc.PickDate(Date::fromParts(1999, 12, 31)));
    EXPECT_FALSE(mtc.PickDate(Date::fromParts(2016, 1, 1)));
    EXPECT_TRUE(mtc.PickDate(Date::fromParts(2015, 12, 31)));
    mtc.SetDate(Date::fromParts(2026, 12, 8));  // code: brought to the nearest end
    EXPECT_EQ(mtc.GetDate(), Date::fromParts(2015, 12, 31));
    EXPECT_EQ(events, (std::vector<std::string>{"31/12/2015"}));
}

TEST_F(ControlsTest, MessagesAreFoundRegardlessOfCase) {
    auto& msg = form.Add<TMessages>("msgPadrao");
    msg.SetMessages(
        {"QUA|quarta", "TMES|mês", "Canc|Deseja cancelar a atividade?", "URL|http://a|b"});
    struct Case {
        const char* key;
        const char* text;
    };
    for (const Case& c :
         {Case{"qua", "quarta"}, Case{"TMes", "mês"}, Case{"CANC", "Deseja cancelar a atividade?"},
          Case{"url", "http://a|b"}}) {
        EXPECT_EQ(msg.Msg(c.key), c.text) << c.key;
    }
    try {
        msg.Msg("QUI");
        FAIL() << "unknown key accepted";
    } catch (const std::out_of_range& error) {
        EXPECT_NE(std::string(error.what()).find("QUI"), std::string::npos);
    }
    EXPECT_THROW(msg.AddMessage("sem barra"), std::invalid_argument);
}

}  // namespace
}  // namespace lembrete
