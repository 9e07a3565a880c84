// The agenda's "Semana" and "Mês" views on real widgets (offscreen), against a real server:
// switching by button and by Ctrl+1/2/3, a click on a day and on a reminder, a double click that
// opens the editor, and the search box; each rendered to PNG (semana.png,
// agenda-mes.png, procurar.png) for the README.
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

// Where the view draws cell `cell`'s entry `entry` (-1: the day number), from its layout: a
// title row of 20 pixels, seven equal columns, equal rows, a 3-pixel margin, one line per entry.
QPoint entryPoint(QWidget& view, int weeks, int cell, int entry) {
    const int lineHeight = std::max(view.fontMetrics().height(), 16) + 1;
    const int columnWidth = view.width() / 7;
    const int rowHeight = (view.height() - 20) / weeks;
    return {(cell % 7) * columnWidth + columnWidth / 2,
            20 + (cell / 7) * rowHeight + 3 + (entry + 1) * lineHeight + lineHeight / 2};
}

using CalendarViewsTest = ClientFixture;

TEST_F(CalendarViewsTest, SwitchClickAndDoubleClickThroughTheViews) {
    createReminder("Reunião com a diretoria", "09:30", true);
    createReminder("Almoço com o cliente", "12:00");
    agendaWindow()->resize(900, 640);
    auto* view = agenda<QWidget>("grdVisao");
    auto* week = agenda<QToolButton>("sbtSemana");
    ASSERT_NE(view, nullptr);
    ASSERT_NE(week, nullptr);
    EXPECT_FALSE(view->isVisible());

    clickButton(week);
    QApplication::processEvents();
    EXPECT_TRUE(view->isVisible());
    // Wednesday 11 March 2026 is the fourth day of its week; its second reminder is lunch.
    QTest::mouseClick(view, Qt::LeftButton, {}, entryPoint(*view, 1, 3, 1));
    auto* grid = agenda<QTableView>("dbsAFazer");
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(cell(1, 4), QStringLiteral("Almoço com o cliente"));
    QApplication::processEvents();
    saveScreenshot(*view, "semana.png");

    // Friday of the same week: the agenda moves to it.
    QTest::mouseClick(view, Qt::LeftButton, {}, entryPoint(*view, 1, 5, -1));
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 13));
    EXPECT_EQ(gridRows(), 0);

    activate(*agendaWindow());
    QTest::keyClick(agendaWindow(), Qt::Key_3, Qt::ControlModifier);
    QApplication::processEvents();
    // March 2026 begins on a Sunday: five rows, the 11th in the second.
    auto editor = whenModal([&](QDialog& dialog) {
        auto* reference = dialog.findChild<QLineEdit*>("drtDesc");
        EXPECT_NE(reference, nullptr);
        if (reference != nullptr) {
            EXPECT_EQ(reference->text(), QStringLiteral("Reunião com a diretoria"));
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseDClick(view, Qt::LeftButton, {}, entryPoint(*view, 5, 10, 0));
    EXPECT_TRUE(*editor);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 11));
    QApplication::processEvents();
    saveScreenshot(*agendaWindow(), "agenda-mes.png");

    activate(*agendaWindow());
    QTest::keyClick(agendaWindow(), Qt::Key_1, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_FALSE(view->isVisible());
}

TEST_F(CalendarViewsTest, TheSearchBoxListsWhatItFindsAndOpensThePickedReminder) {
    createReminder("Reunião com a diretoria", "09:30", false, "<p>Pauta: orçamento</p>");
    createReminder("Ligar para o fornecedor", "14:00");
    clickDay(*agenda<QCalendarWidget>("dbcAFazer"), QDate(2026, 4, 2));
    auto searched = whenModal([&](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>("edtProcurar");
        auto* results = dialog.findChild<QTableView*>("dbsProcura");
        if (text == nullptr || results == nullptr) {
            ADD_FAILURE() << "the search dialog lacks its box or its list";
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return;
        }
        typeText(text, QStringLiteral("ORCAMENTO"));
        clickButton(dialog.findChild<QAbstractButton*>("btnProcurar"));
        EXPECT_EQ(results->model()->rowCount(), 1);
        EXPECT_EQ(results->model()->index(0, 3).data().toString(),
                  QStringLiteral("Reunião com a diretoria"));
        EXPECT_EQ(results->model()->index(0, 2).data().toString(), QStringLiteral("Pendente"));
        EXPECT_EQ(dialog.findChild<QLabel*>("lblResultado")->text(),
                  QStringLiteral("1 lembrete encontrado."));
        saveScreenshot(dialog, "procurar.png");
        const QPoint point = results->visualRect(results->model()->index(0, 0)).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, point);
        EXPECT_FALSE(dialog.isVisible()) << "a double click on a row opens it";
        if (dialog.isVisible()) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
    });
    clickButton(agenda<QToolButton>("sbtProcurar"));
    EXPECT_TRUE(*searched);
    EXPECT_EQ(agenda<QCalendarWidget>("dbcAFazer")->selectedDate(), QDate(2026, 3, 11));
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(agenda<QTableView>("dbsAFazer")->currentIndex().row(), 0);
}

}  // namespace
}  // namespace lembrete::testing
