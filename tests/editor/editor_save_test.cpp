// Confirming the editor against the real reminder service: what the server holds afterwards,
// for single reminders, every repetition kind, every refused input and failures mid-save.
#include <gtest/gtest.h>

#include <set>

#include "data/reminder_record.h"
#include "editor_fixture.h"
#include "support/component_state.h"

namespace lembrete::testing {
namespace {

using EditorSaveTest = EditorFixture;
using Lines = std::vector<std::string>;

const DateTime kMorning = DateTime::fromParts({2007, 7, 16}, 9, 15, 30);

// What a user does for a new reminder before choosing anything else.
void typeReminder(TfrmManutAFazer& f, const std::string& reference, const std::string& day) {
    f.drtDesc.TypeText(reference);
    f.depData.EnterText(day);
}

void typeDescription(TfrmManutAFazer& f, const std::string& text) {
    f.pgcGeral.SelectPage(f.tshObservacao);
    f.dbrTxAtivPess.EnterText(text);
    f.pgcGeral.SelectPage(f.tshGeral);
}

TEST_F(EditorSaveTest, NewSingleReminder) {
    Lines saveCalls;
    const bool open = edit("", [&](TfrmManutAFazer& f) {
        typeReminder(f, "Reunião de pauta", "20/07/2007");
        f.dtpHora.EnterText("14:30");
        f.medPrioridade.TypeText("5");
        f.chbAlarme.Click();
        f.speAlarme.EnterText("15");
        f.cbbAlarme.SelectItem(1);
        typeDescription(f, "{\\rtf1 Pauta}");
        host_.TakeCalls();
        f.bitConfirma.Click();
        for (const std::string& call : TakeCalls({"Get", "Set", "AtualizaLocalCache"})) {
            saveCalls.push_back(call.substr(0, call.find('(')));
        }
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(storedRows(), Lines{"20/07/2007 14:30:00|Reunião de pauta|P|S|15|M|5"});
    const DataPacket stored = storedPacket();
    const std::string number = stored.rows[0][stored.fieldIndex("NRATIVPESS")].toText();
    EXPECT_EQ(storedDescription(number), "{\\rtf1 Pauta}");
    EXPECT_TRUE(stored.rows[0][stored.fieldIndex("NRREPETATIVP")].isNull());

    ASSERT_GE(saveCalls.size(), 6u);
    EXPECT_EQ(Lines(saveCalls.begin(), saveCalls.begin() + 6),
              (Lines{"GetPrxAtivPessoal", "SetAfazer", "AtualizaLocalCache", "SetDescAFazer",
                     "AtualizaLocalCache", "GetAFazer"}));
    // The agenda follows the reminder to its day, with the captions.
    EXPECT_EQ(agenda_->SelectedDate(), Date::fromParts(2007, 7, 20));
    EXPECT_EQ(agenda_->panDiaAFazer.Caption(), "Sexta");
    EXPECT_EQ(agenda_->panCalendAFazer.Caption(), "Julho  2007");
    EXPECT_EQ(agenda_->cdsAFazer.RecordCount(), 1);
    EXPECT_EQ(agenda_->dtsAFazer.DataSet(), &agenda_->cdsAFazer);
}

TEST_F(EditorSaveTest, WithoutTheRefreshFlagTheAgendaIsNotTouched) {
    Lines saveCalls;
    edit(
        "",
        [&](TfrmManutAFazer& f) {
            typeReminder(f, "Sem recarga", "20/07/2007");
            host_.TakeCalls();
            f.bitConfirma.Click();
            saveCalls = serverCallsSince();
        },
        false);
    EXPECT_EQ(saveCalls, (Lines{"GetPrxAtivPessoal", "SetAfazer", "SetDescAFazer"}));
    EXPECT_EQ(agenda_->SelectedDate(), Date::fromParts(2007, 7, 16));
    EXPECT_EQ(storedRows().size(), 1u);
}

TEST_F(EditorSaveTest, AlarmValuesAsStored) {
    struct Case {
        const char* reference;
        std::function<void(TfrmManutAFazer&)> alarm;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {"Na hora",
         [](TfrmManutAFazer& f) {
             f.chbAlarme.Click();
             f.chbHoraEvento.Click();
         },
         "20/07/2007 08:00:00|Na hora|P|S|||"},
        {"Desligado", [](TfrmManutAFazer&) {}, "20/07/2007 08:00:00|Desligado|P|N|1|S|"},
        {"Minutos",
         [](TfrmManutAFazer& f) {
             f.chbAlarme.Click();
             f.speAlarme.EnterText("30");
             f.cbbAlarme.SelectItem(0);
         },
         "20/07/2007 08:00:00|Minutos|P|S|30|S|"},
        {"Dias",
         [](TfrmManutAFazer& f) {
             f.chbAlarme.Click();
             f.speAlarme.EnterText("2");
             f.cbbAlarme.SelectItem(2);
         },
         "20/07/2007 08:00:00|Dias|P|S|2|D|"},
    };
    Lines expected;
    for (const Case& c : cases) {
        edit("", [&](TfrmManutAFazer& f) {
            typeReminder(f, c.reference, "20/07/2007");
            c.alarm(f);
            f.bitConfirma.Click();
        });
        expected.push_back(c.stored);
    }
    Lines stored = storedRows();
    std::sort(stored.begin(), stored.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stored, expected);
}

TEST_F(EditorSaveTest, EditedReminderWithoutDescriptionKeepsItsEdits) {
    const std::string number = seedReminder("Antigo", kMorning);
    const bool open = edit(number, [](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Novo");
        f.medPrioridade.EnterText("12");
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    EXPECT_EQ(storedRows(), Lines{"16/07/2007 09:15:30|Novo|P|N|1|S|12"});
    EXPECT_EQ(storedDescription(number), "");
}

TEST_F(EditorSaveTest, EditedReminderWithDescriptionReplacesIt) {
    const std::string old = "{\\rtf1 antigo}";
    const std::string number = seedReminder("Antigo", kMorning, "S", 10.0, "S", &old);
    edit(number, [](TfrmManutAFazer& f) {
        f.drtDesc.EnterText("Novo");
        typeDescription(f, "{\\rtf1 novo}");
        f.bitConfirma.Click();
    });
    EXPECT_EQ(storedRows(), Lines{"16/07/2007 09:15:30|Novo|P|S|10|S|7"});
    EXPECT_EQ(storedDescription(number), "{\\rtf1 novo}");
}

// --- validation ----------------------------------------------------------------------------

struct Refusal {
    const char* name;
    std::function<void(TfrmManutAFazer&)> input;
    const char* message;
    const char* page;
    const char* focused;
};

TEST_F(EditorSaveTest, EveryRefusalOnItsTabAndControlWritesNothing) {
    const auto daily = [](TfrmManutAFazer& f) {
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
    };
    const std::vector<Refusal> refusals = {
        {"reference empty, alarm incomplete too", [](TfrmManutAFazer& f) { f.chbAlarme.Click(); },
         "Descrição deve ser informada.", "tshGeral", "drtDesc"},
        {"reference of blanks", [](TfrmManutAFazer& f) { f.drtDesc.TypeText("   "); },
         "Descrição deve ser informada.", "tshGeral", "drtDesc"},
        {"alarm without date",
         [](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             f.chbAlarme.Click();
             f.depData.EnterText("");
         },
         "Data deve ser informada.", "tshGeral", "depData"},
        {"alarm without lead nor unit",
         [](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             f.chbAlarme.Click();
             f.speAlarme.EnterText("");
         },
         "Intervalo de tempo deve ser informado.", "tshGeral", "speAlarme"},
        {"alarm without unit",
         [](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             f.chbAlarme.Click();
         },
         "Tipo de intervalo deve ser informado.", "tshGeral", "cbbAlarme"},
        {"series without start",
         [&](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             f.depData.EnterText("");
             daily(f);
         },
         "Data deve ser informada.", "tshGeral", "depData"},
        {"series without end",
         [&](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             daily(f);
         },
         "Data deve ser informada.", "tshRepeticao", "depDataTermino"},
        {"series ending before it starts",
         [&](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             daily(f);
             f.depDataTermino.EnterText("15/07/2007");
         },
         "Data final deve ser maior que a data inicial.", "tshRepeticao", "depDataTermino"},
        {"weekly without a weekday",
         [&](TfrmManutAFazer& f) {
             f.drtDesc.TypeText("x");
             f.pgcGeral.SelectPage(f.tshRepeticao);
             f.panSemanal.Click();
             f.rdbSemData.Click();
             f.pgcGeral.SelectPage(f.tshObservacao);
         },
         "Selecione ao menos um dia da semana.", "tshRepeticao", "panDom"},
    };
    for (const Refusal& refusal : refusals) {
        const bool open = edit("", [&](TfrmManutAFazer& f) {
            refusal.input(f);
            host_.TakeCalls();
            f.bitConfirma.Click();
            EXPECT_EQ(State(f.pgcGeral), std::string("pgcGeral(page=") + refusal.page + ")")
                << refusal.name;
            ASSERT_NE(f.ActiveControl(), nullptr) << refusal.name;
            EXPECT_EQ(f.ActiveControl()->Name(), refusal.focused) << refusal.name;
        });
        EXPECT_TRUE(open) << refusal.name;
        EXPECT_EQ(host_.Errors().back(), refusal.message) << refusal.name;
        EXPECT_EQ(serverCallsSince(), Lines{}) << refusal.name;
    }
    EXPECT_EQ(storedRows(), Lines{});
}

TEST_F(EditorSaveTest, EndDateChecksOnlyWhenTheSeriesHasAnEnd) {
    edit("", [](TfrmManutAFazer& f) {
        typeReminder(f, "Um dia", "20/07/2007");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.EnterText("20/07/2007");  // equal to the start: accepted
        f.bitConfirma.Click();
    });
    EXPECT_EQ(storedRows(), Lines{"20/07/2007 08:00:00|Um dia|P|N|||"});

    const bool open = edit("", [](TfrmManutAFazer& f) {
        typeReminder(f, "Sem fim", "31/12/2016");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panAnual.Click();
        f.rdbSemData.Click();  // the end date box stays empty and disabled
        f.bitConfirma.Click();
    });
    EXPECT_FALSE(open);
    // Yearly from 2016 up to 31 December of the tenth year after: 2016 .. 2026.
    EXPECT_EQ(storedRows().size(), 1u + 11u);
    EXPECT_EQ(storedRows().back(), "31/12/2026 08:00:00|Sem fim|P|N|||");
}

}  // namespace
}  // namespace lembrete::testing
