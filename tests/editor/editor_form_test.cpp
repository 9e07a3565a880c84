// The editor's screen as the user sees it: opening a new or a stored reminder, the alarm
// controls, the repetition panel's states and summaries, and the cancel button.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "support/component_state.h"

namespace lembrete::testing {
namespace {

using EditorFormTest = EditorFixture;
using Lines = std::vector<std::string>;

const DateTime kMorning = DateTime::fromParts({2007, 7, 16}, 9, 15, 30);

TEST_F(EditorFormTest, NewReminderOpensOnTodayWithTheAlarmOff) {
    edit("", [&](TfrmManutAFazer& f) {
        EXPECT_EQ(f.Caption(), "Altera Lembrete");
        EXPECT_EQ(f.lblCodTela.Caption(), "LMB00301");
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Insert);
        EXPECT_TRUE(f.drtDesc.Focused());
        EXPECT_EQ(State(f, {"pgcGeral", "depData", "dtpHora", "chbAlarme", "speAlarme", "cbbAlarme",
                            "chbHoraEvento"}),
                  "pgcGeral(page=tshGeral) depData(clWindow date=16/07/2007 00:00:00) "
                  "dtpHora(clWindow value=08:00:00) chbAlarme('Alarme') "
                  "speAlarme(hidden clInfoBk text=1) cbbAlarme(hidden clInfoBk) "
                  "chbHoraEvento(hidden 'Na hora do evento.')");
        EXPECT_EQ(unit_->Rule.kind(), RecurrenceKind::None);
    });
}

TEST_F(EditorFormTest, AjudaAndF1OpenTheGuideAtTheTabShown) {
    Lines asked;
    edit("", [&](TfrmManutAFazer& f) {
        host_.TakeCalls();
        for (TTabSheet* page : {&f.tshGeral, &f.tshRepeticao, &f.tshObservacao}) {
            f.pgcGeral.SelectPage(*page);
            f.bitAjuda.Click();
            EXPECT_TRUE(f.PressShortCut("F1"));
        }
        for (const std::string& call : host_.TakeCalls()) {
            asked.push_back(call);
        }
        EXPECT_TRUE(f.Visible()) << "the editor stays open beside the guide";
    });
    EXPECT_EQ(asked, Lines({"ShowHelp(editor-geral)", "ShowHelp(editor-geral)",
                            "ShowHelp(editor-repetições)", "ShowHelp(editor-repetições)",
                            "ShowHelp(editor-descrição)", "ShowHelp(editor-descrição)"}));
}

TEST_F(EditorFormTest, StoredReminderOpensWithItsValuesAndDescription) {
    const std::string text = "{\\rtf1 Pauta: or\\'e7amento}";
    const std::string number = seedReminder("Reunião", kMorning, "S", 2.0, "M", &text);
    edit(number, [&](TfrmManutAFazer& f) {
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Edit);
        EXPECT_EQ(f.cdsAuxAFazer.FieldByName("NRATIVPESS").AsString(), number);
        EXPECT_EQ(State(f, {"drtDesc", "medPrioridade", "dtpHora", "chbAlarme", "speAlarme",
                            "cbbAlarme", "chbHoraEvento"}),
                  "drtDesc(text=Reunião) medPrioridade(text=7) dtpHora(clInfoBk value=09:15:30) "
                  "chbAlarme('Alarme' checked) speAlarme(clInfoBk text=2) "
                  "cbbAlarme(clInfoBk index=1) chbHoraEvento('Na hora do evento.')");
        EXPECT_EQ(f.cbbAlarme.Text(), "horas antes");
        // The description of this reminder, read for its number.
        EXPECT_EQ(f.dbrTxAtivPess.Text(), text);
        EXPECT_EQ(f.cdsAuxDesc.RecordCount(), 1);
    });
    const auto calls = host_.Calls();
    EXPECT_EQ(
        std::count_if(calls.begin(), calls.end(),
                      [](const std::string& c) { return c.rfind("GetDescAFazer(,", 0) == 0; }),
        0)
        << "no description is asked for with empty keys";
}

TEST_F(EditorFormTest, AlarmUnitsOpenAsTheirListEntries) {
    struct Case {
        const char* unit;
        int index;
        bool atEvent;
    };
    for (const Case& c :
         {Case{"S", 0, false}, Case{"M", 1, false}, Case{"D", 2, false}, Case{"", -1, true}}) {
        const std::string number = seedReminder("Alarme", kMorning, "S", 15.0, c.unit);
        edit(number, [&](TfrmManutAFazer& f) {
            EXPECT_EQ(f.cbbAlarme.ItemIndex(), c.index) << c.unit;
            EXPECT_EQ(f.chbHoraEvento.Checked(), c.atEvent) << c.unit;
            // "Na hora do evento." disables the lead and its unit.
            EXPECT_EQ(f.speAlarme.Enabled(), !c.atEvent) << c.unit;
            EXPECT_EQ(f.speAlarme.Color(), c.atEvent ? clBtnFace : clInfoBk) << c.unit;
            EXPECT_EQ(f.cbbAlarme.Enabled(), !c.atEvent) << c.unit;
        });
    }
}

TEST_F(EditorFormTest, AlarmCheckBoxShowsItsControlsAndColoursTheDate) {
    edit("", [&](TfrmManutAFazer& f) {
        f.chbAlarme.Click();
        EXPECT_EQ(State(f, {"depData", "dtpHora", "speAlarme", "cbbAlarme", "chbHoraEvento"}),
                  "depData(clInfoBk date=16/07/2007 00:00:00) dtpHora(clInfoBk value=08:00:00) "
                  "speAlarme(clInfoBk text=1) cbbAlarme(clInfoBk) "
                  "chbHoraEvento('Na hora do evento.')");
        f.chbHoraEvento.Click();
        EXPECT_EQ(State(f, {"speAlarme", "cbbAlarme"}),
                  "speAlarme(disabled clBtnFace text=1) cbbAlarme(disabled clBtnFace)");
        f.chbHoraEvento.Click();
        EXPECT_EQ(State(f, {"speAlarme", "cbbAlarme"}),
                  "speAlarme(clInfoBk text=1) cbbAlarme(clInfoBk)");
        f.chbAlarme.Click();
        EXPECT_EQ(State(f, {"depData", "dtpHora", "speAlarme", "cbbAlarme", "chbHoraEvento"}),
                  "depData(clWindow date=16/07/2007 00:00:00) dtpHora(clWindow value=08:00:00) "
                  "speAlarme(hidden clInfoBk text=1) cbbAlarme(hidden clInfoBk) "
                  "chbHoraEvento(hidden 'Na hora do evento.')");
    });
}

TEST_F(EditorFormTest, RepetitionPanelFollowsTheKind) {
    edit("", [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        EXPECT_EQ(f.panTopoRepet.Caption(), "Inicia em 16 de Julho de 2007");
        const auto layout = [&] {
            return State(
                f, {"panNenhuma", "panDiario", "panSemanal", "panMensal", "panAnual", "depData",
                    "panOpcoes", "panRepetir", "lblPor", "cbbPor", "edtInfo", "lblACadaComp"});
        };
        EXPECT_EQ(layout(),
                  "panNenhuma(clRed 'Nenhuma') panDiario(clWindow 'Diário') "
                  "panSemanal(clWindow 'Semanal') panMensal(clWindow 'Mensal') "
                  "panAnual(clWindow 'Anual') depData(clWindow date=16/07/2007 00:00:00) "
                  "panOpcoes(hidden) panRepetir(hidden) lblPor(hidden 'Por') "
                  "cbbPor(hidden index=0) edtInfo() lblACadaComp('dia')");

        f.panDiario.Click();
        EXPECT_EQ(layout(),
                  "panNenhuma(clWindow 'Nenhuma') panDiario(clRed 'Diário') "
                  "panSemanal(clWindow 'Semanal') panMensal(clWindow 'Mensal') "
                  "panAnual(clWindow 'Anual') depData(clInfoBk date=16/07/2007 00:00:00) "
                  "panOpcoes() panRepetir(hidden) lblPor(hidden 'Por') cbbPor(hidden index=0) "
                  "edtInfo(text=Todos os dias.) lblACadaComp('dia')");

        f.panSemanal.Click();
        EXPECT_EQ(State(f, {"panSemanal", "panRepetir", "cbbPor", "edtInfo", "lblACadaComp"}),
                  "panSemanal(clRed 'Semanal') panRepetir() cbbPor(hidden index=0) edtInfo() "
                  "lblACadaComp('semana')");

        f.panMensal.Click();
        EXPECT_EQ(
            State(f, {"panMensal", "panRepetir", "lblPor", "cbbPor", "edtInfo", "lblACadaComp"}),
            "panMensal(clRed 'Mensal') panRepetir(hidden) lblPor('Por') cbbPor(index=0) "
            "edtInfo(text=16º dia de todo mês.) lblACadaComp('mês')");
        f.cbbPor.SelectItem(1);
        EXPECT_EQ(f.edtInfo.Text(), "3ª Segunda de todo mês.");

        f.panAnual.Click();
        EXPECT_EQ(State(f, {"panAnual", "cbbPor", "edtInfo", "lblACadaComp"}),
                  "panAnual(clRed 'Anual') cbbPor(hidden index=1) "
                  "edtInfo(text=16 de Julho de todo ano.) lblACadaComp('ano')");

        // "Nenhuma" hides the options and keeps them as they were.
        f.panNenhuma.Click();
        EXPECT_EQ(State(f, {"panNenhuma", "depData", "panOpcoes", "cbbPor", "edtInfo"}),
                  "panNenhuma(clRed 'Nenhuma') depData(clWindow date=16/07/2007 00:00:00) "
                  "panOpcoes(hidden) cbbPor(hidden index=1) "
                  "edtInfo(text=16 de Julho de todo ano.)");
        f.panMensal.Click();
        EXPECT_EQ(State(f, {"cbbPor", "edtInfo"}),
                  "cbbPor(index=1) edtInfo(text=3ª Segunda de todo mês.)");
    });
}

TEST_F(EditorFormTest, WeekdayToggles) {
    edit("", [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panSemanal.Click();
        EXPECT_EQ(State(f, {"panDom", "panSab"}), "panDom(clWindow 'Dom') panSab(clWindow 'Sáb')");
        f.panSeg.Click();
        f.panQua.Click();
        f.panSex.Click();
        EXPECT_EQ(f.edtInfo.Text(), "Todo(a) seg, qua, sex");
        EXPECT_EQ(State(f, {"panSeg", "panTer", "panQua"}),
                  "panSeg(clRed 'Seg') panTer(clWindow 'Ter') panQua(clRed 'Qua')");
        f.panQua.Click();
        EXPECT_EQ(f.panQua.Color(), clWindow);
        EXPECT_EQ(f.edtInfo.Text(), "Todo(a) seg, sex");
        f.speDia.EnterText("2");
        EXPECT_EQ(f.edtInfo.Text(), "A(o) seg, sex da semana seguinte.");
        f.speDia.EnterText("3");
        EXPECT_EQ(f.edtInfo.Text(), "A(o) seg, sex da 3º semana.");
        EXPECT_TRUE(unit_->Rule.weekday(2));
        EXPECT_FALSE(unit_->Rule.weekday(4));
        EXPECT_TRUE(unit_->Rule.weekday(6));
    });
}

TEST_F(EditorFormTest, SummaryStaysWhileTheIntervalIsNotANumber) {
    edit("", [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.speDia.EnterText("3");
        EXPECT_EQ(f.edtInfo.Text(), "Do 3º dia.");
        f.speDia.Backspace();
        EXPECT_EQ(f.speDia.Text(), "");
        EXPECT_EQ(f.edtInfo.Text(), "Do 3º dia.");
        f.speDia.TypeText("2");
        EXPECT_EQ(f.edtInfo.Text(), "Do outro dia.");
        // Each kind keeps its summary while the interval is not a whole number.
        for (TPanel* kind : {&f.panMensal, &f.panAnual}) {
            kind->Click();
            const std::string before = f.edtInfo.Text();
            f.speDia.Backspace();
            EXPECT_EQ(f.edtInfo.Text(), before) << kind->Name();
            f.speDia.TypeText("2");
        }
    });
}

TEST_F(EditorFormTest, StartHeaderFollowsTheDateOnEverySwitchToTheTab) {
    edit("", [&](TfrmManutAFazer& f) {
        f.depData.EnterText("05/03/2008");
        EXPECT_EQ(f.panTopoRepet.Caption(), "Inicia em 16 de Julho de 2007");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        EXPECT_EQ(f.panTopoRepet.Caption(), "Inicia em 5 de Março de 2008");
    });
}

TEST_F(EditorFormTest, EndDateRadioButtons) {
    edit("", [&](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("20/07/2007");
        f.rdbSemData.Click();
        EXPECT_EQ(State(f.depDataTermino),
                  "depDataTermino(disabled clBtnFace date=20/07/2007 00:00:00)");
        f.rdbTermina.Click();
        EXPECT_EQ(State(f.depDataTermino), "depDataTermino(clInfoBk date=20/07/2007 00:00:00)");
    });
}

TEST_F(EditorFormTest, CancelAsksBeforeDroppingTheAgendasPendingEdit) {
    seedReminder("Pendente", kMorning);
    agenda_->LoadList();
    ASSERT_FALSE(agenda_->cdsAFazer.IsEmpty());
    agenda_->cdsAFazer.Edit();
    agenda_->cdsAFazer.FieldByName("DSREFEATPESS").SetAsString("Mudado");
    host_.AnswerShowMsg(mrYes);
    const bool open = edit("", [&](TfrmManutAFazer& f) { f.bitCancela.Click(); });
    EXPECT_FALSE(open);
    EXPECT_EQ(host_.PendingAnswers(), 0u);
    EXPECT_EQ(agenda_->cdsAFazer.State(), DataSetState::Browse);
    EXPECT_EQ(agenda_->cdsAFazer.FieldByName("DSREFEATPESS").AsString(), "Pendente");
    EXPECT_FALSE(unit_->EditorCreated);
    EXPECT_EQ(unit_->frmManutAFazer, nullptr);

    // Without a pending edit nothing is asked; the dialog closes all the same.
    const bool stillOpen = edit("", [&](TfrmManutAFazer& f) { f.bitCancela.Click(); });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(storedRows().size(), 1u);
}

TEST_F(EditorFormTest, ReminderGoneMeanwhileClosesTheEditorUntouched) {
    seedReminder("Outro", kMorning);
    const bool open = edit("999", [](TfrmManutAFazer&) {});
    EXPECT_FALSE(open);
    ASSERT_FALSE(host_.Errors().empty());
    EXPECT_EQ(host_.Errors().back(),
              "Lembrete não encontrado: ele pode ter sido excluído ou alterado por outra "
              "estação.");
}

TEST_F(EditorFormTest, ActivatedAgainTheEditorKeepsWhatWasTyped) {
    edit("", [&](TfrmManutAFazer& f) {
        f.drtDesc.TypeText("Digitado");
        f.depData.EnterText("25/07/2007");
        host_.TakeCalls();
        EXPECT_TRUE(f.Activate());
        EXPECT_EQ(serverCallsSince(), Lines{});
        EXPECT_EQ(f.drtDesc.Text(), "Digitado");
        EXPECT_EQ(f.depData.Text(), "25/07/2007");
        EXPECT_EQ(f.cdsAuxAFazer.State(), DataSetState::Insert);
    });
}

TEST_F(EditorFormTest, HourglassOnlyWhileTheEditorIsOpen) {
    int cursorInside = 0;
    edit("", [&](TfrmManutAFazer&) { cursorInside = host_.ScreenCursor(); });
    EXPECT_EQ(cursorInside, crHourGlass);
    EXPECT_EQ(host_.ScreenCursor(), crDefault);
}

}  // namespace
}  // namespace lembrete::testing
