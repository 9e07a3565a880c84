// "Procurar em todas as datas" from the agenda, against a real lembrete-server: what is found
// (references and descriptions, case and accents ignored, newest first), a page at a time with
// "Mais resultados", and "Abrir" showing the picked reminder on its day, done ones included.
#include <gtest/gtest.h>

#include "agenda/frm_procurar.h"
#include "data/reminder_record.h"
#include "data/view_calls.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {
namespace {

DateTime on(int year, int month, int day, int hour) {
    return DateTime(Date::fromParts(year, month, day), std::chrono::hours(hour));
}

// "DATA HORARIO SITUACAO reference" per row, joined by "; ".
std::string found(TfrmProcurar& form) {
    std::string text;
    for (int i = 0; i < form.cdsProcura.RecordCount(); ++i) {
        const Row& row = form.cdsProcura.RowAt(i);
        const auto field = [&](std::string_view name) {
            return row[form.cdsProcura.FieldIndex(name)].toText();
        };
        text += (text.empty() ? "" : "; ") + field(ReminderRecord::DATA) + " " +
                field(ReminderRecord::HORARIO) + " " + field(ReminderSearch::SITUACAO) + " " +
                field(ReminderRecord::DSREFEATPESS);
    }
    return text;
}

using AgendaSearchTest = AgendaServerTest;

TEST_F(AgendaSearchTest, FindsReferencesAndDescriptionsAndOpensThePickedOneOnItsDay) {
    Seed("Orçamento anual", on(2025, 3, 10, 9));
    const std::string done = Seed("Dentista", on(2027, 5, 2, 15), "R");
    SeedDescription(done, "<p>Levar o <b>orcamento</b> do tratamento</p>");
    Seed("Outra coisa", on(2026, 12, 8, 11));
    TfrmAFazer& form = OpenAgenda();
    bool searched = false;
    host_.OnModal("frmProcurar", [&](TForm& dialog) {
        auto& search = dynamic_cast<TfrmProcurar&>(dialog);
        EXPECT_FALSE(search.bitAbrir.Enabled());
        search.edtProcurar.TypeText("ORÇAMENTO");
        search.btnProcurar.Click();
        EXPECT_EQ(found(search),
                  "02/05/2027 15:00:00 Realizado Dentista; 10/03/2025 09:00:00 Pendente Orçamento "
                  "anual");
        EXPECT_EQ(search.lblResultado.Caption(), "2 lembretes encontrados.");
        EXPECT_FALSE(search.btnMaisProcura.Enabled());
        searched = true;
        search.bitAbrir.Click();  // the first row: the done one
    });
    EXPECT_TRUE(form.PressShortCut("Ctrl+Shift+F"));
    EXPECT_TRUE(searched);
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2027, 5, 2));
    EXPECT_TRUE(form.ckcRealizados.Checked());
    EXPECT_EQ(form.cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(), done);

    host_.OnModal("frmProcurar", [&](TForm& dialog) {
        auto& search = dynamic_cast<TfrmProcurar&>(dialog);
        search.edtProcurar.SetText("nada disso");
        search.btnProcurar.Click();
        EXPECT_EQ(search.lblResultado.Caption(), "Nenhum lembrete encontrado.");
        EXPECT_FALSE(search.bitAbrir.Enabled());
        search.bitFechar.Click();
    });
    form.Views().sbtProcurar.Click();
    EXPECT_EQ(form.SelectedDate(), Date::fromParts(2027, 5, 2));
}

TEST_F(AgendaSearchTest, ALongResultComesAPageAtATime) {
    const int total = view_contract::kSearchPageSize + 5;
    for (int i = 0; i < total; ++i) {
        Seed("Ronda " + std::to_string(i), on(2026, 1, 1 + i % 28, 8 + i / 28));
    }
    OpenAgenda();
    std::vector<std::string> calls;
    host_.OnModal("frmProcurar", [&](TForm& dialog) {
        auto& search = dynamic_cast<TfrmProcurar&>(dialog);
        search.edtProcurar.SetText("ronda");
        TakeCalls();
        search.btnProcurar.Click();
        EXPECT_EQ(search.cdsProcura.RecordCount(), view_contract::kSearchPageSize);
        EXPECT_TRUE(search.btnMaisProcura.Enabled());
        EXPECT_NE(search.lblResultado.Caption().find("Mais resultados"), std::string::npos);
        search.btnMaisProcura.Click();
        EXPECT_EQ(search.cdsProcura.RecordCount(), total);
        EXPECT_FALSE(search.btnMaisProcura.Enabled());
        EXPECT_EQ(search.lblResultado.Caption(), std::to_string(total) + " lembretes encontrados.");
        // The cursor stands on the first row of the new page.
        EXPECT_EQ(search.cdsProcura.RecNo(), view_contract::kSearchPageSize + 1);
        calls = TakeCalls({"ProcurarAFazer"});
        search.bitFechar.Click();
    });
    module_->Agenda().frmAFazer()->Views().sbtProcurarClick();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "ProcurarAFazer(ANA,ronda,,)");
    // The second page starts after the last row of the first.
    EXPECT_EQ(calls[1].rfind("ProcurarAFazer(ANA,ronda,", 0), 0u);
    EXPECT_NE(calls[1], calls[0]);
}

}  // namespace
}  // namespace lembrete::testing
