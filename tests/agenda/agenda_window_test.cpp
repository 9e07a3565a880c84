// The agenda window driven as a user would, against the real reminder service: the module
// entry, the list with its filters and description, the grid's toggle, delete, refusals and
// what a failing server leaves behind.
#include <gtest/gtest.h>

#include "data/reminder_record.h"
#include "support/agenda_fixture.h"
#include "support/component_state.h"

namespace lembrete::testing {
namespace {

DateTime todayAt(int hour) {
    return DateTime(Date::fromParts(2026, 12, 8), std::chrono::hours(hour));
}

constexpr int kOkColumn = 0;
constexpr int kReferenceColumn = 4;

// --- module entry ---------------------------------------------------------------------------

using AgendaEntryTest = AgendaServerTest;

TEST_F(AgendaEntryTest, IniProcTwiceShowsOneWindowInNormalState) {
    TfrmAFazer& first = OpenAgenda();
    EXPECT_EQ(
        TakeCalls({"Cursor", "Show", "CreateAppServer"}),
        (std::vector<std::string>{"Cursor(-11)",
                                  "CreateAppServer(127.0.0.1:" + std::to_string(server_.port()) +
                                      ",lmb00300.rdmLembrete)",
                                  "Show(frmAFazer)", "Cursor(0)"}));
    first.SetWindowState(wsMaximized);
    first.edtReferencia.TypeText("x");
    TfrmAFazer& second = OpenAgenda();
    EXPECT_EQ(&second, &first);
    EXPECT_EQ(second.WindowState(), wsNormal);
    EXPECT_EQ(second.edtReferencia.Text(), "x");
    EXPECT_EQ(host_.ScreenCursor(), crDefault);
    EXPECT_EQ(State(first, {"lblCodTela"}), "lblCodTela(hidden 'LMB00300')");
    EXPECT_EQ(first.Caption(), "Lembrete");
    EXPECT_EQ(first.ActiveControl(), &first.dbsAFazer);
}

TEST_F(AgendaEntryTest, ClosingAndCallingAgainCreatesANewWindow) {
    TfrmAFazer& first = OpenAgenda();
    first.edtReferencia.TypeText("x");
    first.Close();
    EXPECT_FALSE(module_->Agenda().boIdCriado());
    EXPECT_EQ(module_->Agenda().frmAFazer(), nullptr);
    TfrmAFazer& second = OpenAgenda();
    EXPECT_TRUE(module_->Agenda().boIdCriado());
    EXPECT_EQ(second.edtReferencia.Text(), "");
    EXPECT_TRUE(second.Visible());
}

TEST_F(AgendaEntryTest, AnUnreachableServerIsReportedAndTheEntryReturns) {
    server_.stop();
    module_->IniProc();
    ASSERT_FALSE(host_.Errors().empty());
    EXPECT_EQ(host_.ScreenCursor(), crDefault);
    // The window exists; once the server is back it works.
    server_.start();
    TfrmAFazer& form = *module_->Agenda().frmAFazer();
    Seed("Volta", todayAt(9));
    form.sbtVerificar.Click();
    EXPECT_EQ(ListRows(form), "1 Volta P");
}

TEST_F(AgendaEntryTest, StartStateOfTheFiltersAndToolBar) {
    TfrmAFazer& form = OpenAgenda();
    EXPECT_EQ(State(form, {"ckcPendentes", "ckcRealizados", "ckcTodos", "edtReferencia"}),
              "ckcPendentes('Pendentes' checked) ckcRealizados('Realizados') "
              "ckcTodos('A partir da data selecionada') edtReferencia(clInfoBk)");
    EXPECT_EQ(
        State(form, {"sbtConfirmar", "sbtCancelar", "sbtAlterar", "sbtExcluir", "sbtImprimir"}),
        "sbtConfirmar(disabled) sbtCancelar(disabled) sbtAlterar(disabled) "
        "sbtExcluir(disabled) sbtImprimir(disabled)");
    EXPECT_EQ(form.msgPadrao.Msg("canc"), "Deseja cancelar a atividade?");
}

// --- list, filters and description ---------------------------------------------------------

using AgendaListTest = AgendaServerTest;

TEST_F(AgendaListTest, ActivationLoadsListMarkedDaysAndDescription) {
    const std::string number = Seed("Reunião", todayAt(9));
    SeedDescription(number, "{\\rtf pauta}");
    Seed("Feito", todayAt(11), "R");
    Seed("Amanhã", DateTime(Date::fromParts(2026, 12, 9), std::chrono::hours(9)));
    TfrmAFazer& form = OpenAgenda();
    const auto calls = TakeCalls({"Get"});
    ASSERT_GE(calls.size(), 3u);
    const std::vector<std::string> last(calls.end() - 3, calls.end());
    EXPECT_EQ(last, (std::vector<std::string>{"GetAFazer(,ANA,08/12/2026,False,True,False)",
                                              "GetDatasAFazer(ANA,22/11/2026,09/01/2027)",
                                              "GetDescAFazer(ANA," + number + ")"}));
    EXPECT_EQ(ListRows(form), number + " Reunião P");
    EXPECT_EQ(form.dbrDesc.Text(), "{\\rtf pauta}");
}

TEST_F(AgendaListTest, ReferenceBoxReloadsKeystrokeByKeystroke) {
    Seed("Reunião", todayAt(9));
    Seed("Relatório", todayAt(10));
    TfrmAFazer& form = OpenAgenda();
    TakeCalls();
    form.edtReferencia.TypeText("reu");
    EXPECT_EQ(TakeCalls({"GetAFazer"}),
              (std::vector<std::string>{"GetAFazer(r,ANA,08/12/2026,False,True,False)",
                                        "GetAFazer(re,ANA,08/12/2026,False,True,False)",
                                        "GetAFazer(reu,ANA,08/12/2026,False,True,False)"}));
    EXPECT_EQ(ListRows(form), "1 Reunião P");
}

TEST_F(AgendaListTest, EveryCheckBoxReloadsWithItsState) {
    Seed("Pendente", todayAt(9));
    Seed("Feito", todayAt(10), "R");
    Seed("Depois", DateTime(Date::fromParts(2026, 12, 20), std::chrono::hours(9)));
    TfrmAFazer& form = OpenAgenda();
    EXPECT_EQ(ListRows(form), "1 Pendente P");
    TakeCalls();

    form.ckcRealizados.Click();
    EXPECT_EQ(ListRows(form), "1 Pendente P; 2 Feito R");
    form.ckcTodos.Click();
    EXPECT_EQ(ListRows(form), "1 Pendente P; 2 Feito R; 3 Depois P");
    form.ckcPendentes.Click();
    EXPECT_EQ(ListRows(form), "2 Feito R");
    form.ckcRealizados.Click();
    EXPECT_EQ(ListRows(form), "");
    EXPECT_EQ(form.dbrDesc.Text(), "");
    EXPECT_EQ(TakeCalls({"GetAFazer"}),
              (std::vector<std::string>{"GetAFazer(,ANA,08/12/2026,True,True,False)",
                                        "GetAFazer(,ANA,08/12/2026,True,True,True)",
                                        "GetAFazer(,ANA,08/12/2026,True,False,True)",
                                        "GetAFazer(,ANA,08/12/2026,False,False,True)"}));
    form.ckcTodos.Click();
    EXPECT_EQ(TakeCalls({"GetAFazer"}),
              std::vector<std::string>{"GetAFazer(,ANA,08/12/2026,False,False,False)"});
}

TEST_F(AgendaListTest, ReferenceBoxTakesAHundredCharactersNotMore) {
    TfrmAFazer& form = OpenAgenda();
    form.edtReferencia.SetText(std::string(99, 'a'));
    TakeCalls();
    form.edtReferencia.TypeText("êx");
    EXPECT_EQ(form.edtReferencia.Text(), std::string(99, 'a') + "ê");
    EXPECT_EQ(TakeCalls({"GetAFazer"}).size(), 1u);
}

TEST_F(AgendaListTest, MovingTheCursorLoadsThatRowsDescription) {
    const std::string first = Seed("Um", todayAt(9));
    const std::string second = Seed("Dois", todayAt(10));
    SeedDescription(second, "texto dois");
    TfrmAFazer& form = OpenAgenda();
    EXPECT_EQ(form.dbrDesc.Text(), "");
    TakeCalls();
    form.dbsAFazer.PressKey(VK_DOWN);
    EXPECT_EQ(TakeCalls({"Get"}), std::vector<std::string>{"GetDescAFazer(ANA," + second + ")"});
    EXPECT_EQ(form.dbrDesc.Text(), "texto dois");
}

// --- grid ----------------------------------------------------------------------------------

using AgendaGridTest = AgendaServerTest;

TEST_F(AgendaGridTest, OkCellTogglesDoneAndPendingAndKeepsTheCursor) {
    Seed("Primeiro", todayAt(8));
    const std::string number = Seed("Alarme", todayAt(9), "P", "S");
    Seed("Terceiro", todayAt(10));
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    TakeCalls();

    form.dbsAFazer.ClickCell(1, kOkColumn);
    EXPECT_EQ(ServerRows(), "1 Primeiro P N; 2 Alarme R N; 3 Terceiro P N");
    EXPECT_EQ(form.cdsAFazer.FieldByName("NRATIVPESS").AsString(), number);
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    const auto calls = TakeCalls(
        {"ActiveShowAvi", "SetAfazer", "DeactiveShowAvi", "AtualizaLocalCache", "GetAFazer"});
    EXPECT_EQ(calls, (std::vector<std::string>{"ActiveShowAvi(1)",
                                               "SetAfazer(<packet: 0 rows, 1 changes>)",
                                               "DeactiveShowAvi", "AtualizaLocalCache(ATIVPESSOAL)",
                                               "GetAFazer(,ANA,08/12/2026,True,True,False)"}));

    form.dbsAFazer.ClickCell(1, kOkColumn);
    EXPECT_EQ(ServerRows(), "1 Primeiro P N; 2 Alarme P N; 3 Terceiro P N");
    EXPECT_EQ(form.dbsAFazer.Row(), 1);
}

TEST_F(AgendaGridTest, AStateOtherThanPendingBecomesPending) {
    Seed("Feito", todayAt(9), "R");
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(ServerRows(), "1 Feito P N");
}

TEST_F(AgendaGridTest, OtherColumnsAndCtrlSpaceChangeNothing) {
    Seed("Um", todayAt(9));
    TfrmAFazer& form = OpenAgenda();
    for (int column = 1; column <= kReferenceColumn; ++column) {
        form.dbsAFazer.ClickCell(0, column);
    }
    form.dbsAFazer.PressKey(VK_SPACE, ssCtrl);
    EXPECT_TRUE(TakeCalls({"SetAfazer"}).empty());
    EXPECT_EQ(ServerRows(), "1 Um P N");

    form.dbsAFazer.PressKey(VK_SPACE);
    EXPECT_EQ(form.dbsAFazer.SelectedIndex(), kOkColumn);
    EXPECT_EQ(ServerRows(), "1 Um R N");
}

TEST_F(AgendaGridTest, InsertKeyAddsNoRow) {
    Seed("Um", todayAt(9));
    TfrmAFazer& form = OpenAgenda();
    form.dbsAFazer.PressKey(VK_INSERT);
    EXPECT_EQ(form.cdsAFazer.State(), DataSetState::Browse);
    EXPECT_EQ(form.cdsAFazer.RecordCount(), 1);
    EXPECT_TRUE(host_.Errors().empty());
    EXPECT_EQ(ServerRows(), "1 Um P N");
}

TEST_F(AgendaGridTest, DeleteAsksFirstAndSendsOnYes) {
    Seed("Um", todayAt(9));
    Seed("Dois", todayAt(10));
    TfrmAFazer& form = OpenAgenda();
    host_.AnswerShowMsg(mrNo);
    form.sbtExcluir.Click();
    EXPECT_EQ(ServerRows(), "1 Um P N; 2 Dois P N");

    form.dbsAFazer.PressKey(VK_DOWN);
    host_.AnswerShowMsg(mrYes);
    TakeCalls();
    form.dbsAFazer.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(TakeCalls({"ShowMsg"}),
              std::vector<std::string>{"ShowMsg(Confirma a exclusão do registro?)"});
    EXPECT_EQ(ServerRows(), "1 Um P N");
    EXPECT_EQ(ListRows(form), "1 Um P");

    host_.AnswerShowMsg(mrYes);
    form.sbtExcluir.Click();
    EXPECT_EQ(ServerRows(), "");
    EXPECT_EQ(ListRows(form), "");
}

TEST_F(AgendaGridTest, ChangeAndNewOpenTheEditorAndCancelDiscards) {
    const std::string number = Seed("Um", todayAt(9));
    TfrmAFazer& form = OpenAgenda();
    form.dbsAFazer.DoubleClick();
    form.sbtIncluir.Click();
    form.sbtAlterar.Click();
    EXPECT_EQ(editorCalls_, (std::vector<std::pair<std::string, bool>>{
                                {number, true}, {"", true}, {number, true}}));
    // Alterar leaves the row in edit; a change made there is dropped by Cancelar.
    ASSERT_EQ(form.cdsAFazer.State(), DataSetState::Edit);
    form.cdsAFazer.FieldByName("DSREFEATPESS").SetAsString("mudado");
    form.sbtCancelar.Click();
    EXPECT_EQ(form.cdsAFazer.State(), DataSetState::Browse);
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    EXPECT_EQ(ListRows(form), number + " Um P");
    EXPECT_EQ(ServerRows(), number + " Um P N");
}

TEST_F(AgendaGridTest, CellsPaintTheirImagesAndText) {
    // Before both reminders: none is overdue yet.
    host_.SetNow(todayAt(8));
    Seed("Sem alarme", todayAt(9), "P", "N");
    Seed("Com alarme", todayAt(10), "R", "S");
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    TDBGrid& grid = form.dbsAFazer;
    EXPECT_EQ(grid.PaintCell(0, kOkColumn).Describe(),
              "fill(clInfoBk) text(P@2,2 center) fill(clInfoBk) image(imgUncheck@2,0)");
    EXPECT_EQ(grid.PaintCell(1, kOkColumn).Describe(),
              "fill(clInfoBk) text(R@2,2 center) fill(clInfoBk) image(imgCheck@2,0)");
    EXPECT_EQ(grid.PaintCell(0, kReferenceColumn).Describe(),
              "fill(clInfoBk) text(Sem alarme@2,2) fill(clInfoBk) text(Sem alarme@2,2)");
    const TCanvas alarm = grid.PaintCell(1, kReferenceColumn);
    EXPECT_EQ(alarm.Describe(),
              "fill(clInfoBk) text(Com alarme@2,2) fill(clInfoBk) "
              "image(imgAlarme@2,0) text(Com alarme@20,2)");
    EXPECT_EQ(alarm.Ops()[3].transparent, clOlive);
    // The text starts right of the image: no overlap.
    EXPECT_GE(alarm.Ops()[4].x, alarm.Ops()[3].x + TfrmAFazer::kImageWidth);
}

TEST_F(AgendaGridTest, APendingReminderWhoseTimeHasPassedIsPaintedAndHintedOverdue) {
    Seed("Passou", todayAt(9), "P", "N");
    Seed("Feito antes", todayAt(9), "R", "N");
    Seed("Ainda vem", todayAt(11), "P", "N");
    TfrmAFazer& form = OpenAgenda();  // now is 10:00
    form.ckcRealizados.Click();
    TDBGrid& grid = form.dbsAFazer;
    ASSERT_EQ(grid.RowCount(), 3);
    const struct {
        int row;
        bool overdue;
        const char* hint;
    } rows[] = {{0, true, "Pendente, atrasado: a data e a hora já passaram"},
                {1, false, "Realizado"},
                {2, false, "Pendente"}};
    for (const auto& expected : rows) {
        EXPECT_EQ(grid.CellHint(expected.row), expected.hint) << expected.row;
        for (int column = 0; column < static_cast<int>(grid.Columns().size()); ++column) {
            const TCanvas canvas = grid.PaintCell(expected.row, column);
            const PaintOp& last = canvas.Ops().back();
            if (last.kind == PaintKind::Text) {
                EXPECT_EQ(last.color == TfrmAFazer::kOverdueColor, expected.overdue)
                    << expected.row << "/" << column << " " << canvas.Describe();
            }
        }
    }
    // Later on the same day the next one is overdue too.
    host_.SetNow(todayAt(12));
    EXPECT_EQ(grid.CellHint(2), "Pendente, atrasado: a data e a hora já passaram");
}

// --- failures ------------------------------------------------------------------------------

using AgendaFailureTest = AgendaServerTest;

TEST_F(AgendaFailureTest, AToggleTheServerNeverGotIsDroppedAndTheListEmptiedUntilItRecovers) {
    Seed("Um", todayAt(9));
    Seed("Dois", todayAt(10));
    TfrmAFazer& form = OpenAgenda();
    form.ckcRealizados.Click();
    // On the row first: moving there loads its description, which needs the server.
    form.dbsAFazer.PressKey(VK_DOWN);
    TakeCalls();

    server_.stop();
    form.dbsAFazer.ClickCell(1, kOkColumn);
    const auto calls = TakeCalls();
    // The failed send is shown; the failed reload after it is not shown again.
    ASSERT_EQ(host_.Errors().size(), 1u);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) {
                                return call.rfind("CheckResultServ(Servidor inacess", 0) == 0;
                            }),
              2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ActiveShowAvi(1)"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DeactiveShowAvi"), 1);
    // Nothing was stored: no tick stays, and the list read again fails, so it shows nothing.
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    EXPECT_EQ(ListRows(form), "");
    EXPECT_FALSE(form.sbtAlterar.Enabled());
    EXPECT_EQ(form.cdsAFazer.ControlsDisabled(), false);

    server_.start();
    EXPECT_EQ(ServerRows(), "1 Um P N; 2 Dois P N");
    form.sbtVerificar.Click();
    EXPECT_EQ(ListRows(form), "1 Um P; 2 Dois P");
    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(ServerRows(), "1 Um R N; 2 Dois P N");
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    EXPECT_EQ(ListRows(form), "1 Um R; 2 Dois P");
    EXPECT_EQ(form.dbsAFazer.Row(), 0);
}

TEST_F(AgendaFailureTest, AFailedDayStepShowsNoOtherDaysRowsAndKeepsTheToolBarSource) {
    Seed("Hoje", todayAt(9));
    TfrmAFazer& form = OpenAgenda();
    server_.stop();
    form.speDiaPost.Click();
    ASSERT_FALSE(host_.Errors().empty());
    EXPECT_EQ(form.dtsPadrao.DataSet(), &form.cdsAFazer);
    EXPECT_EQ(ListRows(form), "");
    EXPECT_FALSE(form.sbtAlterar.Enabled());
    EXPECT_FALSE(form.cdsDescAFazer.Active());

    server_.start();
    form.speDiaAnt.Click();
    EXPECT_EQ(form.SelectedDate(), kToday);
    EXPECT_EQ(ListRows(form), "1 Hoje P");
}

TEST_F(AgendaFailureTest, AConflictIsReportedAndTheListShowsWhatTheServerHolds) {
    const std::string number = Seed("Um", todayAt(9));
    TfrmAFazer& form = OpenAgenda();
    // Another client marks it done meanwhile.
    {
        ReminderGateway other(host_, [this]() -> AppServer& { return *direct_; });
        ClientDataSet rows("cdsOutro");
        other.GetAFazer(ReminderFilter{"", kOperator, kToday, true, true, false}, rows);
        rows.Edit();
        rows.FieldByName("IDSITUATPESS").SetAsString("R");
        rows.Post();
        other.SetAfazer(rows, false);
    }
    const std::size_t errorsBefore = host_.Errors().size();
    TakeCalls();
    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(host_.Errors().size(), errorsBefore + 1);
    EXPECT_EQ(form.cdsAFazer.ChangeCount(), 0);
    EXPECT_EQ(ServerRows(), number + " Um R N");
    const auto calls = TakeCalls({"ActiveShowAvi", "DeactiveShowAvi", "GetAFazer"});
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], "DeactiveShowAvi");
    EXPECT_EQ(calls[2].rfind("GetAFazer", 0), 0u) << calls[2];
    // Only pending reminders are shown, and the server holds it done: the list is empty.
    EXPECT_EQ(ListRows(form), "");

    // The window goes on working from what the server holds.
    form.ckcRealizados.Click();
    EXPECT_EQ(ListRows(form), number + " Um R");
    form.dbsAFazer.ClickCell(0, kOkColumn);
    EXPECT_EQ(ServerRows(), number + " Um P N");
}

}  // namespace
}  // namespace lembrete::testing
