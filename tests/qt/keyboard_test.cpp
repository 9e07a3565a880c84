// The agenda without a mouse: Tab and Shift+Tab through every control (the grid let go), Alt
// keys on the menus, and the shortcuts the menus show beside their items.
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using KeyboardTest = ClientFixture;

// The named control that holds the focus (a calendar's inner table counts as the calendar).
QString focusedControl(const QStringList& controls) {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (controls.contains(widget->objectName())) {
            return widget->objectName();
        }
    }
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr ? "?" + focused->objectName() : QStringLiteral("(nada)");
}

QString menuText(QMdiSubWindow& sub, const char* item) {
    auto* action = sub.findChild<QAction*>(QString::fromLatin1(item));
    return action != nullptr ? action->text() : QStringLiteral("(não há)");
}

TEST_F(KeyboardTest, TabAndShiftTabWalkEveryControlAndLeaveTheGrid) {
    createReminder("Com teclado", "14:00");
    activate(window());
    auto* grid = agenda<QTableView>("dbsAFazer");
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    // Confirmar and Cancelar are disabled while nothing is being edited.
    const QStringList forward = {"dbrDesc",     "sbtIncluir",    "sbtAlterar",   "sbtExcluir",
                                 "sbtImprimir", "sbtVerificar",  "sbtDia",       "sbtSemana",
                                 "sbtMes",      "sbtProcurar",   "speAFazerAnt", "speAFazerPost",
                                 "dbcAFazer",   "speDiaAnt",     "speDiaPost",   "btnIrParaDia",
                                 "btnHojeDia",  "edtReferencia", "ckcPendentes", "ckcRealizados",
                                 "ckcTodos",    "dbsAFazer"};
    QStringList walked;
    for (int press = 0; press < forward.size(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << focusedControl(forward);
    }
    EXPECT_EQ(walked, forward);

    QStringList back;
    for (int press = 0; press < forward.size(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        back << focusedControl(forward);
    }
    QStringList expected(forward.rbegin() + 1, forward.rend());
    expected << "dbsAFazer";
    EXPECT_EQ(back, expected);
}

TEST_F(KeyboardTest, AltKeysOpenTheMenusWhichShowTheShortcuts) {
    activate(window());
    agenda<QTableView>("dbsAFazer")->setFocus();
    QMdiSubWindow& sub = *agendaWindow();
    QStringList titles;
    for (QAction* action : agenda<QMenuBar>("mnuMenu")->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, QStringList({"&Operação", "&Manutenção", "&Navegação", "&Ajuda"}));
    const struct {
        const char* item;
        const char* text;
    } items[] = {{"mnuImprimir", "&Imprimir\tCtrl+P"},
                 {"mnuListagem", "&Listagem"},
                 {"mnuIncluir", "&Incluir\tCtrl+N"},
                 {"mnuAlterar", "&Alterar\tF2"},
                 {"mnuAtualizar", "A&tualizar\tF5"},
                 {"mnuDiaAnterior", "&Dia anterior\tAlt+Left"},
                 {"mnuProximoDia", "&Próximo dia\tAlt+Right"},
                 {"mnuMesAnterior", "&Mês anterior\tAlt+PgUp"},
                 {"mnuProximoMes", "P&róximo mês\tAlt+PgDown"},
                 {"mnuHoje", "&Hoje\tCtrl+H"},
                 {"mnuGuia", "&Guia do usuário\tF1"}};
    for (const auto& item : items) {
        // Key names as the desktop's language writes them ("Alt+Esquerda").
        const QStringList parts = QString::fromUtf8(item.text).split('\t');
        const QString shown =
            parts.size() < 2
                ? parts[0]
                : parts[0] + '\t' + QKeySequence(parts[1]).toString(QKeySequence::NativeText);
        EXPECT_EQ(menuText(sub, item.item), shown) << item.item;
    }
    for (const char* menu : {"mnuOperacao", "mnuManutencao", "mnuNavegacao", "mnuAjuda"}) {
        const QChar key = QString::fromLatin1(menu)[3].toUpper();
        QTest::keyClick(QApplication::focusWidget(), key.toLatin1(), Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr) << menu;
        EXPECT_EQ(popup->objectName(), menu);
        QTest::keyClick(popup, Qt::Key_Escape);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
}

TEST_F(KeyboardTest, ShortcutsStepTheDaysAndMonthsAndOpenTheEditor) {
    createReminder("Pelo teclado", "15:00");
    activate(window());
    auto* grid = agenda<QTableView>("dbsAFazer");
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    grid->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QDate expected;
    } steps[] = {{Qt::Key_Right, Qt::AltModifier, QDate(2026, 3, 12)},
                 {Qt::Key_PageDown, Qt::AltModifier, QDate(2026, 4, 12)},
                 {Qt::Key_Left, Qt::AltModifier, QDate(2026, 4, 11)},
                 {Qt::Key_PageUp, Qt::AltModifier, QDate(2026, 3, 11)},
                 {Qt::Key_PageUp, Qt::AltModifier, QDate(2026, 2, 11)},
                 {Qt::Key_H, Qt::ControlModifier, QDate(2026, 3, 11)}};
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_EQ(calendar->selectedDate(), step.expected)
            << step.expected.toString().toStdString();
    }
    ASSERT_EQ(gridRows(), 1);

    // Enter and F2 change the row; Ctrl+N starts a new reminder.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* reference;
    } opens[] = {{Qt::Key_Return, Qt::NoModifier, "Pelo teclado"},
                 {Qt::Key_F2, Qt::NoModifier, "Pelo teclado"},
                 {Qt::Key_N, Qt::ControlModifier, ""}};
    for (const auto& open : opens) {
        QString reference = "(não abriu)";
        auto ran = whenModal([&](QDialog& dialog) {
            reference = dialog.findChild<QLineEdit*>("drtDesc")->text();
            answerMessageBox("&Sim");  // "Deseja cancelar a atividade?"
            QTest::mouseClick(dialog.findChild<QPushButton*>("bitCancela"), Qt::LeftButton);
        });
        activate(window());  // shortcuts reach the active window only
        grid->setFocus();
        QTest::keyClick(grid, open.key, open.modifiers);
        EXPECT_TRUE(*ran) << open.key;
        EXPECT_EQ(reference, QString::fromUtf8(open.reference));
    }

    // Insert still adds no row; F5 reads the list again after another desktop's change.
    activate(window());
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(gridRows(), 1);
    markDoneElsewhere(Date::fromParts(2026, 3, 11));
    ASSERT_EQ(gridRows(), 1);
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(gridRows(), 0);
}

}  // namespace
}  // namespace lembrete::testing
