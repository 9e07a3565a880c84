// The agenda's "Semana" and "Mês" views on real widgets (offscreen), against a real server:
// switching by button and by Ctrl+1/2/3, a click on a day and on a reminder, a double click that
// opens the editor, a crowded day scrolled to its last reminder, the keyboard (Tab into and out
// of the days, the arrows, Enter), and the search box; each rendered to PNG (semana.png,
// agenda-mes.png, procurar.png) for the README.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

// The painted days inside the view's scrolling area, which take the clicks and the keys.
QWidget& daysOf(QWidget* view) {
    return *qobject_cast<QScrollArea*>(view)->widget();
}

// Where the days draw cell `cell`'s entry `entry` (-1: the day number), from their layout: a
// title row of 20 pixels, seven equal columns, equal rows, a 3-pixel margin, one line per entry.
QPoint entryPoint(QWidget& view, int weeks, int cell, int entry) {
    const int lineHeight = std::max(view.fontMetrics().height(), 16) + 1;
    const int columnWidth = view.width() / 7;
    const int rowHeight = (view.height() - 20) / weeks;
    return {(cell % 7) * columnWidth + columnWidth / 2,
            20 + (cell / 7) * rowHeight + 3 + (entry + 1) * lineHeight + lineHeight / 2};
}

class CalendarViewsTest : public ClientFixture {
  protected:
    // Answers the editor that opens next, checking that it shows `reference`.
    std::shared_ptr<bool> whenEditorOf(const QString& reference) {
        return whenModal([reference](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("drtDesc");
            EXPECT_NE(edit, nullptr);
            if (edit != nullptr) {
                EXPECT_EQ(edit->text(), reference);
            }
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    }
};

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
    QTest::mouseClick(&daysOf(view), Qt::LeftButton, {}, entryPoint(daysOf(view), 1, 3, 1));
    auto* grid = agenda<QTableView>("dbsAFazer");
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(cell(1, 4), QStringLiteral("Almoço com o cliente"));
    QApplication::processEvents();
    saveScreenshot(*view, "semana.png");

    // Friday of the same week: the agenda moves to it.
    QTest::mouseClick(&daysOf(view), Qt::LeftButton, {}, entryPoint(daysOf(view), 1, 5, -1));
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 13));
    EXPECT_EQ(gridRows(), 0);

    activate(*agendaWindow());
    QTest::keyClick(agendaWindow(), Qt::Key_3, Qt::ControlModifier);
    QApplication::processEvents();
    // March 2026 begins on a Sunday: five rows, the 11th in the second.
    auto editor = whenEditorOf(QStringLiteral("Reunião com a diretoria"));
    QTest::mouseDClick(&daysOf(view), Qt::LeftButton, {}, entryPoint(daysOf(view), 5, 10, 0));
    EXPECT_TRUE(*editor);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 11));
    QApplication::processEvents();
    saveScreenshot(*agendaWindow(), "agenda-mes.png");

    activate(*agendaWindow());
    QTest::keyClick(agendaWindow(), Qt::Key_1, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_FALSE(view->isVisible());
}

TEST_F(CalendarViewsTest, ACrowdedDayOfTheWeekScrollsToItsLastReminder) {
    seedToday(40, std::chrono::hours(1), std::chrono::minutes(20));
    agendaWindow()->resize(900, 640);
    clickButton(agenda<QToolButton>("sbtSemana"));
    QApplication::processEvents();
    auto* area = agenda<QScrollArea>("grdVisao");
    ASSERT_NE(area, nullptr);
    QWidget& days = daysOf(area);
    // Wednesday 11 March is the fourth day of the week; its 40th reminder lies below the area.
    const QPoint last = entryPoint(days, 1, 3, 39);
    ASSERT_GT(area->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(days.visibleRegion().contains(last));
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QApplication::processEvents();
    ASSERT_TRUE(days.visibleRegion().contains(last));
    QTest::mouseClick(&days, Qt::LeftButton, {}, last);
    EXPECT_EQ(agenda<QTableView>("dbsAFazer")->currentIndex().row(), 39);
    EXPECT_EQ(cell(39, 4), QStringLiteral("Lembrete 40"));

    // The keyboard stands on the reminder clicked: Up walks back to the day, Down to the last
    // one again, and the area follows.
    days.setFocus();
    for (int press = 0; press < 40; ++press) {
        QTest::keyClick(&days, Qt::Key_Up);
    }
    QApplication::processEvents();
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(days.visibleRegion().contains(last));
    for (int press = 0; press < 40; ++press) {
        QTest::keyClick(&days, Qt::Key_Down);
    }
    QApplication::processEvents();
    EXPECT_EQ(agenda<QTableView>("dbsAFazer")->currentIndex().row(), 39);
    EXPECT_TRUE(days.visibleRegion().contains(last));
}

TEST_F(CalendarViewsTest, TheKeyboardGoesIntoTheDaysMovesThroughThemAndOpensAReminder) {
    createReminder("Reunião com a diretoria", "09:30");
    createReminder("Almoço com o cliente", "12:00");
    clickButton(agenda<QToolButton>("sbtSemana"));
    activate(*agendaWindow());
    QWidget& days = daysOf(agenda<QWidget>("grdVisao"));
    // Tab: the filters, the days, the list; the from-the-day-on box is disabled beside a week.
    auto* done = agenda<QCheckBox>("ckcRealizados");
    auto* list = agenda<QTableView>("dbsAFazer");
    EXPECT_FALSE(agenda<QCheckBox>("ckcTodos")->isEnabled());
    done->setFocus();
    QTest::keyClick(done, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &days);
    QTest::keyClick(&days, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &days);
    QTest::keyClick(&days, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), done);

    days.setFocus();
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    QTest::keyClick(&days, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 0);
    QTest::keyClick(&days, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 1);
    QTest::keyClick(&days, Qt::Key_Right);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 12));
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &days) << "the focus stays on the days";
    QTest::keyClick(&days, Qt::Key_Left);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 11));
    QTest::keyClick(&days, Qt::Key_Down);
    auto editor = whenEditorOf(QStringLiteral("Reunião com a diretoria"));
    QTest::keyClick(&days, Qt::Key_Return);
    EXPECT_TRUE(*editor);

    activate(*agendaWindow());
    QTest::keyClick(agendaWindow(), Qt::Key_3, Qt::ControlModifier);
    days.setFocus();
    QTest::keyClick(&days, Qt::Key_Down);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 3, 18));
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
