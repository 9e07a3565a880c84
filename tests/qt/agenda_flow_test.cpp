// The agenda and the editor on real widgets, driven as a user drives them, against a real
// server: the calendar, the filters, toggling with the mouse and the space bar, the keys of
// the grid, the editor opened by a double-click, a weekly series, the go-to-day dialog.
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using AgendaFlowTest = ClientFixture;

QString caption(QWidget* panel) {
    return panel->findChild<QLabel*>(panel->objectName() + "_caption")->text();
}

std::vector<std::string> column(const DataPacket& packet, std::string_view field) {
    std::vector<std::string> values;
    const int index = packet.fieldIndex(field);
    for (const auto& row : packet.rows) {
        values.push_back(row.at(static_cast<std::size_t>(index)).toText());
    }
    return values;
}

TEST_F(AgendaFlowTest, OpensOnTodayWithTheGridColumnsAndComesForwardInNormalState) {
    QMdiSubWindow* sub = agendaWindow();
    EXPECT_EQ(sub->windowTitle(), "Lembrete");
    EXPECT_EQ(caption(agenda<QWidget>("panCalendAFazer")), "Março  2026");
    EXPECT_EQ(caption(agenda<QWidget>("panDiaAFazer")), "Quarta");
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 11));
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Sunday);
    EXPECT_EQ(calendar->locale().language(), QLocale::Portuguese);
    EXPECT_EQ(gridRows(), 0);

    auto* view = agenda<QTableView>("dbsAFazer");
    const struct {
        const char* title;
        int width;
    } columns[] = {
        {"Ok", 19}, {"Prioridade", 64}, {"Horário", 64}, {"Data", 65}, {"Referência", 307}};
    // The designed widths, widened where the screen's font needs more for a title.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(view->model()->headerData(i, Qt::Horizontal).toString(), columns[i].title);
        EXPECT_GE(view->columnWidth(i), columns[i].width) << columns[i].title;
        EXPECT_GE(view->columnWidth(i), view->horizontalHeader()->sectionSizeHint(i))
            << columns[i].title;
    }
    EXPECT_TRUE(window().statusBar()->findChild<QLabel*>("lblSessao")->text().contains("TESTE"));

    // The frame's menu, its states following the list's dataset.
    auto* menu = agenda<QMenuBar>("mnuMenu");
    QStringList titles;
    for (QAction* action : menu->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, QStringList({"&Operação", "&Manutenção", "&Navegação", "&Ajuda"}));
    EXPECT_FALSE(sub->findChild<QAction*>("mnuConfirmar")->isEnabled());
    EXPECT_FALSE(sub->findChild<QAction*>("Hoje1")->isVisible());

    sub->showMinimized();
    ASSERT_TRUE(window().openAgenda());
    EXPECT_FALSE(agendaWindow()->isMinimized());
    sub->showMaximized();
    ASSERT_TRUE(window().openAgenda());
    EXPECT_EQ(window().mdiArea().subWindowList().size(), 1);
    EXPECT_FALSE(agendaWindow()->isMaximized());
}

TEST_F(AgendaFlowTest, DaysFiltersMouseAndSpaceBarDriveTheList) {
    createReminder("Consulta médica", "09:00", true);
    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(cell(0, 4), "Consulta médica");
    EXPECT_EQ(cell(0, 2), "09:00:00");
    EXPECT_EQ(cell(0, 3), "11/03/2026");
    auto* grid = agenda<QTableView>("dbsAFazer");
    EXPECT_GE(grid->columnWidth(3),
              static_cast<const QAbstractItemView*>(grid)->sizeHintForColumn(3))
        << "a date cut off";
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    EXPECT_EQ(calendar->dateTextFormat(QDate(2026, 3, 11)).fontWeight(), QFont::Bold);
    EXPECT_NE(calendar->dateTextFormat(QDate(2026, 3, 12)).fontWeight(), QFont::Bold);

    clickDay(*calendar, QDate(2026, 3, 12));
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 12));
    EXPECT_EQ(caption(agenda<QWidget>("panDiaAFazer")), "Quinta");
    EXPECT_EQ(gridRows(), 0);
    clickDay(*calendar, QDate(2026, 3, 11));
    EXPECT_EQ(gridRows(), 1);

    auto* reference = agenda<QLineEdit>("edtReferencia");
    QTest::keyClicks(reference, "xyz");
    EXPECT_EQ(gridRows(), 0);
    reference->selectAll();
    QTest::keyClicks(reference, "CONSULTA");
    EXPECT_EQ(gridRows(), 1);

    clickButton(agenda<QCheckBox>("ckcRealizados"));
    clickCell(0, 0);  // the "Ok" cell: done, and the alarm goes off
    const Date today = Date::fromParts(2026, 3, 11);
    DataPacket held = serverList(today);
    EXPECT_EQ(column(held, "IDSITUATPESS"), std::vector<std::string>{"R"});
    EXPECT_EQ(column(held, "IDALARATPESS"), std::vector<std::string>{"N"});
    EXPECT_EQ(cell(0, 0), "R");

    clickCell(0, 4);  // another column changes nothing
    EXPECT_EQ(column(serverList(today), "IDSITUATPESS"), std::vector<std::string>{"R"});

    auto* view = agenda<QTableView>("dbsAFazer");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(column(serverList(today), "IDSITUATPESS"), std::vector<std::string>{"P"});
    QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(column(serverList(today), "IDSITUATPESS"), std::vector<std::string>{"P"});

    QTest::keyClick(view, Qt::Key_Insert);
    EXPECT_EQ(gridRows(), 1);
    EXPECT_EQ(serverList(today).rows.size(), 1u);

    answerMessageBox("&Não");
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(serverList(today).rows.size(), 1u);
    QString question;
    answerMessageBox("&Sim", &question);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(question, "Confirma a exclusão do registro?");
    EXPECT_EQ(serverList(today).rows.size(), 0u);
    EXPECT_EQ(gridRows(), 0);
}

TEST_F(AgendaFlowTest, DoubleClickOpensTheEditorWhichEscapeCancels) {
    createReminder("Pagar contas", "08:00");
    bool checked = false;
    auto ran = whenModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Altera Lembrete");
        auto* reference = dialog.findChild<QLineEdit*>("drtDesc");
        EXPECT_EQ(reference->text(), "Pagar contas");
        auto* tabs = dialog.findChild<QTabWidget*>("pgcGeral");
        EXPECT_EQ(tabs->tabText(0), "Geral");
        EXPECT_EQ(tabs->tabText(1), "Repetições");
        EXPECT_EQ(tabs->tabText(2), "Descrição");
        QStringList hints;
        for (QWidget* tool : dialog.findChild<QWidget*>("FormatPanel2")->findChildren<QWidget*>()) {
            if (!tool->toolTip().isEmpty()) {
                hints << tool->toolTip();
            }
        }
        EXPECT_EQ(hints,
                  QStringList({"Recortar", "Copiar", "Colar", "Voltar", "Fonte", "Tamanho",
                               "Negrito", "Itálico", "Sublinhado", "Alinhar à esquerda",
                               "Alinhar centralizado", "Alinhar à direita", "Numerador", "Cores"}));
        QTest::keyClicks(reference, " hoje");
        checked = true;
        QTest::keyClick(reference, Qt::Key_Escape);
    });
    clickCell(0, 4, true);
    ASSERT_TRUE(*ran);
    EXPECT_TRUE(checked);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(column(serverList(Date::fromParts(2026, 3, 11)), "DSREFEATPESS"),
              std::vector<std::string>{"Pagar contas"});
}

TEST_F(AgendaFlowTest, AWeeklySeriesConfirmedWithEnterLandsInTheGridAndOnTheServer) {
    auto ran = whenModal([&](QDialog& dialog) {
        auto* reference = dialog.findChild<QLineEdit*>("drtDesc");
        typeText(reference, "Aula de inglês");
        auto* tabs = dialog.findChild<QTabWidget*>("pgcGeral");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        EXPECT_EQ(dialog.findChild<QLabel*>("panTopoRepet")->text(),
                  "Inicia em 11 de Março de 2026");
        QTest::mouseClick(dialog.findChild<QLabel*>("panSemanal"), Qt::LeftButton);
        EXPECT_TRUE(dialog.findChild<QWidget*>("panRepetir")->isVisible());
        QTest::mouseClick(dialog.findChild<QLabel*>("panSeg"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel*>("panSex"), Qt::LeftButton);
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("edtInfo")->text().isEmpty());
        // The empty end date's pop-up opens on today's month.
        auto* end = dialog.findChild<QDateEdit*>("depDataTermino");
        const QPoint arrow(end->width() - 6, end->height() / 2);
        QTest::mouseMove(end, arrow);
        QTest::mousePress(end, Qt::LeftButton, {}, arrow);
        QCalendarWidget* popup = end->calendarWidget();
        EXPECT_TRUE(popup->isVisible());
        EXPECT_EQ(popup->monthShown(), 3);
        EXPECT_EQ(popup->yearShown(), 2026);
        clickDay(*popup, QDate(2026, 3, 31));
        EXPECT_EQ(end->date(), QDate(2026, 3, 31));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QTest::keyClick(reference, Qt::Key_Return);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    const std::vector<std::string> days = {"13/03/2026", "16/03/2026", "20/03/2026",
                                           "23/03/2026", "27/03/2026", "30/03/2026"};
    const DataPacket held = serverList(Date::fromParts(2026, 3, 1), "inglês");
    EXPECT_EQ(column(held, "DATA"), days);
    const auto series = column(held, "NRREPETATIVP");
    ASSERT_EQ(series.size(), days.size());
    EXPECT_FALSE(series.front().empty());
    EXPECT_EQ(std::count(series.begin(), series.end(), series.front()), 6);

    clickButton(agenda<QCheckBox>("ckcTodos"));
    clickDay(*agenda<QCalendarWidget>("dbcAFazer"), QDate(2026, 3, 1));
    ASSERT_EQ(gridRows(), 6);
    for (int row = 0; row < 6; ++row) {
        EXPECT_TRUE(cell(row, 3).startsWith(QString::fromStdString(days[std::size_t(row)])));
        EXPECT_EQ(cell(row, 4), "Aula de inglês");
    }
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    EXPECT_EQ(calendar->dateTextFormat(QDate(2026, 3, 16)).fontWeight(), QFont::Bold);
}

TEST_F(AgendaFlowTest, CtrlHAndTheGoToDayDialogMoveTheCalendar) {
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    auto ran = whenModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Ir para dia");
        auto* picker = dialog.findChild<QCalendarWidget*>("mtcData");
        EXPECT_EQ(picker->selectedDate(), QDate(2026, 3, 11));
        EXPECT_EQ(picker->maximumDate(), QDate(2099, 12, 31));
        clickDay(*picker, QDate(2026, 4, 17));
        QTest::mouseClick(dialog.findChild<QPushButton*>("bitConfirma"), Qt::LeftButton);
    });
    QTest::mouseClick(agenda<QAbstractButton>("btnIrParaDia"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 4, 17));
    EXPECT_EQ(caption(agenda<QWidget>("panCalendAFazer")), "Abril  2026");
    EXPECT_EQ(caption(agenda<QWidget>("panDiaAFazer")), "Sexta");

    // Shortcuts reach only the active window.
    window().activateWindow();
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    agenda<QTableView>("dbsAFazer")->setFocus();
    QTest::keyClick(agenda<QTableView>("dbsAFazer"), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 11));
    EXPECT_EQ(caption(agenda<QWidget>("panCalendAFazer")), "Março  2026");
}

TEST_F(AgendaFlowTest, AnInputErrorIsShownAndLeavesTheEditorOpen) {
    QString shown;
    bool stayedOpen = false;
    auto ran = whenModal([&](QDialog& dialog) {
        answerMessageBox("OK", &shown);
        QTest::mouseClick(dialog.findChild<QPushButton*>("bitConfirma"), Qt::LeftButton);
        stayedOpen = dialog.isVisible();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(shown, "Descrição deve ser informada.");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(serverList(Date::fromParts(2026, 3, 1)).rows.size(), 0u);
}

TEST_F(AgendaFlowTest, TheAlarmControlsFollowTheirCheckBoxes) {
    auto ran = whenModal([&](QDialog& dialog) {
        auto* quantity = dialog.findChild<QWidget*>("speAlarme");
        auto* unit = dialog.findChild<QWidget*>("cbbAlarme");
        auto* atEvent = dialog.findChild<QCheckBox*>("chbHoraEvento");
        EXPECT_FALSE(quantity->isVisible());
        clickButton(dialog.findChild<QCheckBox*>("chbAlarme"));
        EXPECT_TRUE(quantity->isVisible());
        EXPECT_TRUE(atEvent->isVisible());
        EXPECT_EQ(dialog.findChild<QWidget*>("depData")->palette().color(QPalette::Base),
                  QColor(255, 255, 225));
        clickButton(atEvent);
        EXPECT_FALSE(quantity->isEnabled());
        EXPECT_FALSE(unit->isEnabled());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    EXPECT_TRUE(*ran);
}

TEST_F(AgendaFlowTest, TheDescriptionPaneShowsTheCurrentRowsRichTextReadOnly) {
    createReminder("Com descrição", "09:00", false, "<p>Levar o <b>contrato</b></p>");
    createReminder("Sem descrição", "10:00");
    auto* pane = agenda<QTextEdit>("dbrDesc");
    EXPECT_TRUE(pane->isReadOnly());
    clickCell(0, 4);
    EXPECT_EQ(pane->toPlainText().trimmed(), "Levar o contrato");
    // Stored as the rich edit's own format.
    const DataPacket held = serverList(Date::fromParts(2026, 3, 11), "Com descrição");
    ASSERT_EQ(held.rows.size(), 1u);
    const std::string stored = serverDescription(held.rows[0].at(1).toText());
    EXPECT_NE(stored.find("<!DOCTYPE HTML"), std::string::npos) << stored;
    EXPECT_NE(stored.find("contrato</span>"), std::string::npos) << stored;
    clickCell(1, 4);
    EXPECT_TRUE(pane->toPlainText().trimmed().isEmpty());
}

TEST_F(AgendaFlowTest, AServerFailureIsShownTheGridEmptiedAndTheStatusBarSaysSo) {
    createReminder("Antes da queda", "09:00");
    auto* link = window().statusBar()->findChild<QLabel*>("lblConexao");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->text().isEmpty());
    server_->stop();
    QString shown;
    answerMessageBox("OK", &shown);
    clickButton(agenda<QCheckBox>("ckcRealizados"));
    EXPECT_TRUE(shown.startsWith("Servidor inacessível")) << shown.toStdString();
    EXPECT_EQ(gridRows(), 0);
    EXPECT_TRUE(agenda<QTextEdit>("dbrDesc")->toPlainText().isEmpty());
    EXPECT_EQ(link->text(), "Servidor inacessível");
    EXPECT_EQ(window().findChild<QWidget*>("busyIndicator")->isVisible(), false);

    // "Hoje" from another day while the server is down shows no other day's rows either.
    server_->start();
    clickButton(agenda<QCheckBox>("ckcRealizados"));
    ASSERT_EQ(gridRows(), 1);
    EXPECT_TRUE(link->text().isEmpty());
    clickDay(*agenda<QCalendarWidget>("dbcAFazer"), QDate(2026, 3, 20));
    server_->stop();
    answerMessageBox("OK");
    QTest::mouseClick(agenda<QAbstractButton>("btnHojeDia"), Qt::LeftButton);
    EXPECT_EQ(agenda<QCalendarWidget>("dbcAFazer")->selectedDate(), QDate(2026, 3, 11));
    EXPECT_EQ(gridRows(), 0);
}

TEST_F(AgendaFlowTest, AChangeRefusedForAnotherDesktopsEditLeavesNoTickAndNamesTheReminder) {
    createReminder("Reunião de equipe", "09:00");
    // The same operator marks it done on another desktop.
    markDoneElsewhere(Date::fromParts(2026, 3, 11));

    // This desktop's list is stale now: it still shows the reminder pending.
    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(cell(0, 0), "P");
    QString shown;
    answerMessageBox("OK", &shown);
    clickCell(0, 0);
    EXPECT_NE(shown.indexOf(QString::fromUtf8("\"Reunião de equipe\" de 11/03/2026 às 09:00")), -1)
        << shown.toStdString();
    EXPECT_FALSE(shown.contains(QString::fromUtf8("Outro usuário"))) << shown.toStdString();
    // The grid shows what the server holds: done, so not among the pending ones.
    EXPECT_EQ(gridRows(), 0);
    clickButton(agenda<QCheckBox>("ckcRealizados"));
    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(cell(0, 0), "R");
}

TEST_F(AgendaFlowTest, ClosingTheAgendaAndCallingIniProcAgainOpensAFreshWindow) {
    QMdiSubWindow* first = agendaWindow();
    first->close();
    QApplication::processEvents();
    EXPECT_EQ(agendaWindow(), nullptr);
    ASSERT_TRUE(window().openAgenda());
    ASSERT_NE(agendaWindow(), nullptr);
    EXPECT_EQ(caption(agenda<QWidget>("panDiaAFazer")), "Quarta");
}

}  // namespace
}  // namespace lembrete::testing
