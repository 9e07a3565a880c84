// Several rows of the agenda's grid at once, against the real reminder service: the toggle and
// the delete of a selection are one SetAfazer each, all or nothing; one selected row behaves as
// a single reminder; "Desfazer" takes either back in one call, or refuses it when a row changed.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/reminder_gateway.h"
#include "data/reminder_record.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {
namespace {

constexpr int kOkColumn = 0;
constexpr int kReferenceColumn = 4;

class AgendaSelectionTest : public AgendaServerTest {
  protected:
    // `count` pending reminders today, a minute apart from 08:00, stored with one SetAfazer;
    // `series`, when given, is their repetition number.
    void SeedMany(int count, const std::string& series = {}) {
        ReminderGateway gateway(host_, [this]() -> AppServer& { return *direct_; });
        const long long first = std::stoll(gateway.GetPrxAtivPessoalBloco(kOperator, count));
        ClientDataSet rows("cdsSeedMany", ReminderRecord::layout());
        rows.Open();
        for (int i = 0; i < count; ++i) {
            rows.Append();
            rows.FieldByName(ReminderRecord::CDOPERADOR).SetAsString(kOperator);
            rows.FieldByName(ReminderRecord::NRATIVPESS).SetAsString(std::to_string(first + i));
            rows.FieldByName(ReminderRecord::DSREFEATPESS)
                .SetAsString("Lembrete " + std::to_string(i + 1));
            rows.FieldByName(ReminderRecord::DTATIVPESS)
                .SetValue(DateTime(kToday, std::chrono::hours(8) + std::chrono::minutes(i)));
            rows.FieldByName(ReminderRecord::IDSITUATPESS).SetAsString("P");
            rows.FieldByName(ReminderRecord::IDALARATPESS).SetAsString("S");
            if (!series.empty()) {
                rows.FieldByName(ReminderRecord::NRREPETATIVP).SetAsString(series);
            }
            rows.Post();
        }
        gateway.SetAfazer(rows, false);
        host_.TakeCalls();
    }

    // How many stored reminders have `state`.
    int StoredWithState(const std::string& state) {
        const DataPacket packet = storedPacket();
        const int field = packet.fieldIndex(ReminderRecord::IDSITUATPESS);
        return static_cast<int>(
            std::count_if(packet.rows.begin(), packet.rows.end(),
                          [&](const Row& row) { return row[field].toText() == state; }));
    }

    // Another desktop of the operator marks the `index`-th of today's reminders done.
    void ChangeElsewhere(int index) {
        ReminderGateway other(host_, [this]() -> AppServer& { return *direct_; });
        ClientDataSet rows("cdsOutro");
        other.GetAFazer(ReminderFilter{"", kOperator, kToday, true, true, false}, rows);
        rows.MoveTo(index + 1);
        rows.Edit();
        rows.FieldByName("DSREFEATPESS").SetAsString("Mudado em outro computador");
        rows.Post();
        other.SetAfazer(rows, false);
        host_.TakeCalls();
    }
};

TEST_F(AgendaSelectionTest, AHundredSelectedRowsAreToggledAndDeletedWithOneSetAfazerEach) {
    SeedMany(100);
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    form.dbsAFazer.PressKey('A', ssCtrl);
    ASSERT_EQ(form.dbsAFazer.SelectedCount(), 100);
    TakeCalls();

    form.dbsAFazer.ClickCell(10, kOkColumn);
    EXPECT_EQ(StoredWithState("R"), 100);
    // No description is read for the rows the change passes over, only for the cursor's.
    EXPECT_EQ(TakeCalls({"SetAfazer", "GetDescAFazer", "GetAFazer"}),
              (std::vector<std::string>{"GetDescAFazer(ANA,11)",
                                        "SetAfazer(<packet: 0 rows, 100 changes>)",
                                        "GetAFazer(,ANA,08/12/2026,True,True,False)",
                                        "GetDescAFazer(ANA,1)", "GetDescAFazer(ANA,11)"}));
    // The same rows stay selected, the cursor on the row clicked.
    EXPECT_EQ(form.dbsAFazer.SelectedCount(), 100);
    EXPECT_EQ(form.dbsAFazer.Row(), 10);
    EXPECT_EQ(form.cdsAFazer.FieldByName("IDALARATPESS").AsString(), "N");

    form.dbsAFazer.PressKey(VK_SPACE);
    EXPECT_EQ(StoredWithState("P"), 100);
    EXPECT_EQ(TakeCalls({"SetAfazer"}),
              std::vector<std::string>{"SetAfazer(<packet: 0 rows, 100 changes>)"});

    host_.AnswerShowMsg(mrYes);
    form.sbtExcluir.Click();
    EXPECT_EQ(TakeCalls({"ShowMsg", "ChooseOption", "SetAfazer"}),
              (std::vector<std::string>{"ShowMsg(Excluir os 100 lembretes selecionados?)",
                                        "SetAfazer(<packet: 0 rows, 100 changes>)"}));
    EXPECT_EQ(ServerRows(), "");
    EXPECT_EQ(ListRows(form), "");
}

TEST_F(AgendaSelectionTest, TheSelectedRowsTakeTheStateTheClickedRowGets) {
    const std::string done = Seed("Feito", DateTime(kToday, std::chrono::hours(8)), "R");
    const std::string pending = Seed("Pendente", DateTime(kToday, std::chrono::hours(9)));
    const std::string other = Seed("Fora", DateTime(kToday, std::chrono::hours(10)));
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    form.dbsAFazer.ClickCell(0, kReferenceColumn);
    form.dbsAFazer.ClickCell(1, kReferenceColumn, ssShift);
    // The done row clicked becomes pending, and so does every selected one.
    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(ServerRows(),
              done + " Feito P N; " + pending + " Pendente P N; " + other + " Fora P N");
    form.dbsAFazer.ClickCell(1, kOkColumn);
    EXPECT_EQ(ServerRows(),
              done + " Feito R N; " + pending + " Pendente R N; " + other + " Fora P N");
}

TEST_F(AgendaSelectionTest, AConflictOnOneSelectedRowChangesNone) {
    SeedMany(5);
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    form.dbsAFazer.PressKey(VK_END, ssShift);
    ChangeElsewhere(3);
    const std::string before = ServerRows();
    const std::size_t errors = host_.Errors().size();

    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(host_.Errors().size(), errors + 1);
    EXPECT_EQ(ServerRows(), before);
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    EXPECT_EQ(form.dbsAFazer.SelectedCount(), 5);
    EXPECT_NE(ListRows(form).find("Mudado em outro computador"), std::string::npos);

    // Read again, the same selection goes through.
    ChangeElsewhere(4);
    host_.AnswerShowMsg(mrYes);
    form.dbsAFazer.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(host_.Errors().size(), errors + 2);
    EXPECT_EQ(StoredWithState("P"), 5);
    host_.AnswerShowMsg(mrYes);
    form.dbsAFazer.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(ServerRows(), "");
}

TEST_F(AgendaSelectionTest, RowsOfASeriesAmongTheSelectedAreDeletedExactlyAsSelected) {
    ReminderGateway gateway(host_, [this]() -> AppServer& { return *direct_; });
    SeedMany(4, gateway.GetPrxNrRepetAtivPess(kOperator));
    Seed("Avulso", DateTime(kToday, std::chrono::hours(11)));
    TfrmAFazer& form = OpenAgenda();
    const std::string kept = form.cdsAFazer.RowAt(0)[1].toText();
    const std::string last = form.cdsAFazer.RowAt(3)[1].toText();
    form.dbsAFazer.ClickCell(1, kReferenceColumn);
    form.dbsAFazer.ClickCell(2, kReferenceColumn, ssShift);
    form.dbsAFazer.ClickCell(4, kReferenceColumn, ssCtrl);
    TakeCalls();
    host_.AnswerShowMsg(mrNo);
    form.sbtExcluir.Click();
    EXPECT_EQ(storedPacket().rows.size(), 5u);

    host_.AnswerShowMsg(mrYes);
    form.sbtExcluir.Click();
    EXPECT_EQ(TakeCalls({"ShowMsg", "ChooseOption", "SetAfazer", "SetSerieAFazer"}),
              (std::vector<std::string>{"ShowMsg(Excluir os 3 lembretes selecionados?)",
                                        "ShowMsg(Excluir os 3 lembretes selecionados?)",
                                        "SetAfazer(<packet: 0 rows, 3 changes>)"}));
    EXPECT_EQ(ServerRows(), kept + " Lembrete 1 P S; " + last + " Lembrete 4 P S");
    EXPECT_EQ(ListRows(form), kept + " Lembrete 1 P; " + last + " Lembrete 4 P");
}

TEST_F(AgendaSelectionTest, OneSelectedRowAsksTheSingleQuestionsAgain) {
    ReminderGateway gateway(host_, [this]() -> AppServer& { return *direct_; });
    SeedMany(3, gateway.GetPrxNrRepetAtivPess(kOperator));
    Seed("Avulso", DateTime(kToday, std::chrono::hours(11)));
    TfrmAFazer& form = OpenAgenda();
    form.dbsAFazer.PressKey(VK_DOWN, ssShift);
    form.dbsAFazer.PressKey(VK_DOWN);
    ASSERT_EQ(form.dbsAFazer.SelectedCount(), 1);
    TakeCalls();
    host_.AnswerChoice(HostServices::kOptionCancelled);
    form.sbtExcluir.Click();
    EXPECT_EQ(TakeCalls({"ShowMsg", "ChooseOption"}).size(), 1u);

    form.dbsAFazer.PressKey(VK_END);
    form.dbsAFazer.PressKey(VK_UP, ssShift);
    form.dbsAFazer.ClickCell(3, kReferenceColumn);
    host_.AnswerShowMsg(mrNo);
    form.sbtExcluir.Click();
    EXPECT_EQ(TakeCalls({"ShowMsg"}),
              std::vector<std::string>{"ShowMsg(Confirma a exclusão do registro?)"});
    EXPECT_EQ(storedPacket().rows.size(), 4u);
}

TEST_F(AgendaSelectionTest, DesfazerBringsAHundredDeletedRowsBackWithTheirNumbersAndTexts) {
    SeedMany(100);
    const DataPacket before = storedPacket();
    const std::string described = before.rows[7][1].toText();
    const std::string other = before.rows[93][1].toText();
    SeedDescription(described, "{\\rtf1 Levar os documentos}");
    SeedDescription(other, "{\\rtf1 Ligar antes}");
    TfrmAFazer& form = OpenAgenda();
    form.dbsAFazer.PressKey('A', ssCtrl);
    host_.AnswerShowMsg(mrYes);
    TakeCalls();
    form.sbtExcluir.Click();
    ASSERT_EQ(ServerRows(), "");
    EXPECT_EQ(TakeCalls({"GetDescsAFazer", "SetAfazer"}).size(), 2u);

    form.PressShortCut("Ctrl+Z");
    EXPECT_EQ(TakeCalls({"SetAfazer", "SetSerieAFazer"}),
              std::vector<std::string>{"SetSerieAFazer(<packet: 0 rows, 100 changes>,<packet: 0 "
                                       "rows, 2 changes>,<packet: 0 rows, 0 changes>)"});
    EXPECT_EQ(render(storedPacket()), render(before));
    EXPECT_EQ(storedPacket().rows, before.rows);
    for (const std::string& number : {described, other}) {
        const ServerResult text = direct_->call("GetDescAFazer", {kOperator, number});
        ASSERT_TRUE(text.ok());
        ASSERT_EQ(text.payload.asPacket().rows.size(), 1u);
    }
    EXPECT_EQ(ListRows(form).substr(0, 14), before.rows[0][1].toText() + " Lembrete 1 P");
    EXPECT_FALSE(form.mnuDesfazer.Enabled());
}

TEST_F(AgendaSelectionTest, DesfazerOfAToggleIsRefusedWhenARowChangedSince) {
    SeedMany(5);
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    const std::string created = ServerRows();
    form.dbsAFazer.PressKey('A', ssCtrl);
    form.dbsAFazer.PressKey(VK_SPACE);
    ASSERT_EQ(StoredWithState("R"), 5);
    EXPECT_TRUE(form.mnuDesfazer.Enabled());
    form.mnuDesfazer.Click();
    // Done, the alarms went off; taken back, they are on again.
    EXPECT_EQ(ServerRows(), created);

    form.dbsAFazer.PressKey('A', ssCtrl);
    form.dbsAFazer.PressKey(VK_SPACE);
    ChangeElsewhere(2);
    const std::string changed = ServerRows();
    const std::size_t errors = host_.Errors().size();
    form.mnuDesfazer.Click();
    ASSERT_EQ(host_.Errors().size(), errors + 1);
    EXPECT_EQ(host_.Errors().back().rfind("Não foi possível desfazer. ", 0), 0u)
        << host_.Errors().back();
    EXPECT_NE(host_.Errors().back().find("foi alterado"), std::string::npos);
    EXPECT_EQ(ServerRows(), changed);
    EXPECT_EQ(StoredWithState("R"), 5);
    EXPECT_FALSE(form.mnuDesfazer.Enabled());
    EXPECT_NE(ListRows(form).find("Mudado em outro computador"), std::string::npos);
}

TEST_F(AgendaSelectionTest, DesfazerWithTheServerDownShowsOneMessage) {
    SeedMany(3);
    TfrmAFazer& form = OpenAgenda();
    form.dbsAFazer.PressKey('A', ssCtrl);
    host_.AnswerShowMsg(mrYes);
    form.sbtExcluir.Click();
    ASSERT_EQ(ServerRows(), "");
    ASSERT_TRUE(form.mnuDesfazer.Enabled());
    const std::size_t errors = host_.Errors().size();
    server_.stop();
    form.mnuDesfazer.Click();
    EXPECT_EQ(host_.Errors().size(), errors + 1);
    EXPECT_EQ(ListRows(form), "") << "the list read again failed too";
    server_.start();
    EXPECT_EQ(ServerRows(), "");
}

}  // namespace
}  // namespace lembrete::testing
