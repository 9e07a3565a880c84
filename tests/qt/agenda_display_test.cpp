// What the agenda shows beyond its rows: today marked on the calendar whichever day is
// selected, and pending reminders whose time has passed shown overdue in the grid.
#include <QTextCharFormat>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using AgendaDisplayTest = ClientFixture;

TEST_F(AgendaDisplayTest, TodayStaysMarkedWhenAnotherDayIsSelected) {
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    const QDate today(2026, 3, 11);
    clickDay(*calendar, QDate(2026, 3, 19));
    ASSERT_EQ(calendar->selectedDate(), QDate(2026, 3, 19));
    const QTextCharFormat marked = calendar->dateTextFormat(today);
    EXPECT_TRUE(marked.fontUnderline());
    EXPECT_EQ(marked.background().style(), Qt::SolidPattern);
    const QTextCharFormat other = calendar->dateTextFormat(QDate(2026, 3, 18));
    EXPECT_FALSE(other.fontUnderline());
    EXPECT_EQ(other.background().style(), Qt::NoBrush);
    // Reloads keep it (the marked days are drawn anew each time).
    createReminder("Hoje marcado", "15:00");
    EXPECT_TRUE(calendar->dateTextFormat(today).fontUnderline());
    EXPECT_EQ(calendar->dateTextFormat(today).fontWeight(), QFont::Bold);
}

TEST_F(AgendaDisplayTest, APendingReminderWhoseTimeHasPassedShowsOverdue) {
    createReminder("Já passou", "09:00");  // the fixture's now is 10:00
    createReminder("Mais tarde", "11:00");
    ASSERT_EQ(gridRows(), 2);
    const QAbstractItemModel* model = agenda<QTableView>("dbsAFazer")->model();
    EXPECT_EQ(model->index(0, 4).data(Qt::ToolTipRole).toString(),
              "Pendente, atrasado: a data e a hora já passaram");
    EXPECT_EQ(model->index(1, 4).data(Qt::ToolTipRole).toString(), "Pendente");
    // Drawn in another colour: the two rows' time cells differ on screen.
    auto* view = agenda<QTableView>("dbsAFazer");
    const QImage shot = view->viewport()->grab().toImage();
    // Pixels of a dark red: the overdue text colour, antialiased or not.
    const auto reddish = [&](int row) {
        const QRect cell = view->visualRect(model->index(row, 2));
        int count = 0;
        for (int x = cell.left(); x <= cell.right(); ++x) {
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                const QColor colour = shot.pixelColor(x, y);
                count += colour.red() > 90 && colour.green() < 60 && colour.blue() < 60 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(reddish(0), 0);
    EXPECT_EQ(reddish(1), 0);
}

}  // namespace
}  // namespace lembrete::testing
