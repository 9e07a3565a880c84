// How the agenda uses its room: the reference column takes the free width (no sideways
// scrolling, on an empty grid or after a long reference), and a window made small scrolls
// instead of cutting controls off.
#include <QCheckBox>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using AgendaLayoutTest = ClientFixture;

constexpr int kReference = 4;

// The reference column ends where the grid's visible area ends.
void expectReferenceFillsTheGrid(QTableView& grid) {
    QHeaderView& header = *grid.horizontalHeader();
    EXPECT_EQ(header.sectionViewportPosition(kReference) + header.sectionSize(kReference),
              grid.viewport()->width());
    EXPECT_FALSE(grid.horizontalScrollBar()->isVisible());
}

TEST_F(AgendaLayoutTest, TheReferenceColumnTakesTheFreeWidthAndNeverScrollsSideways) {
    auto* grid = agenda<QTableView>("dbsAFazer");
    ASSERT_EQ(gridRows(), 0);
    expectReferenceFillsTheGrid(*grid);

    const QString longReference = QString(u'R') + QString(99, u'e');
    createReminder(longReference, "08:00");
    ASSERT_EQ(gridRows(), 1);
    expectReferenceFillsTheGrid(*grid);
    clickCell(0, kReference);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(grid->visualRect(grid->model()->index(0, 0)).left(), 0) << "the Ok column went";

    // Maximised, the reference column grows with the window.
    const int normal = grid->columnWidth(kReference);
    agendaWindow()->showMaximized();
    QApplication::processEvents();
    EXPECT_GT(grid->columnWidth(kReference), normal);
    expectReferenceFillsTheGrid(*grid);
}

TEST_F(AgendaLayoutTest, ASmallWindowScrollsAndHidesNoControl) {
    QMdiSubWindow* sub = agendaWindow();
    sub->resize(360, 260);
    QApplication::processEvents();
    auto* scroller = sub->findChild<QScrollArea*>("frmAFazerScroll");
    ASSERT_NE(scroller, nullptr);
    EXPECT_TRUE(scroller->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(scroller->verticalScrollBar()->isVisible());
    for (const char* name : {"ckcTodos", "btnHojeDia", "edtReferencia", "dbsAFazer"}) {
        auto* control = agenda<QWidget>(name);
        EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name;
        scroller->ensureWidgetVisible(control);
        QApplication::processEvents();
        const QRect shown(control->mapTo(scroller->viewport(), QPoint()), control->size());
        EXPECT_TRUE(shown.intersects(scroller->viewport()->rect())) << name;
    }
}

}  // namespace
}  // namespace lembrete::testing
