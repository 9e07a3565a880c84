// Several rows of the agenda's grid on the real widget: Shift and Ctrl clicks and Ctrl+A select
// what the grid component selects, the space bar marks them all done with one call, and Ctrl+Z
// takes a delete of them back.
#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

class AgendaSelectionFlowTest : public ClientFixture {
  protected:
    // Pending reminders today at 08:00, 09:00 ...
    void seed(int count) { seedToday(count, std::chrono::hours(8), std::chrono::hours(1)); }

    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        for (const QModelIndex& index :
             agenda<QTableView>("dbsAFazer")->selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    void clickWith(int row, Qt::KeyboardModifiers modifiers) {
        auto* view = agenda<QTableView>("dbsAFazer");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(view->model()->index(row, 4)).center());
    }
};

TEST_F(AgendaSelectionFlowTest, ShiftCtrlClicksAndCtrlASelectAndTheSpaceBarMarksThemAllDone) {
    seed(4);
    ASSERT_EQ(gridRows(), 4);
    clickCell(0, 4);
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    clickWith(2, Qt::ShiftModifier);
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 2}));
    clickWith(1, Qt::ControlModifier);
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(agenda<QTableView>("dbsAFazer")->currentIndex().row(), 1);

    auto* view = agenda<QTableView>("dbsAFazer");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2}));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 2, 3}));

    clickButton(agenda<QCheckBox>("ckcRealizados"));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Space);
    const DataPacket held = serverList(kNow.date());
    ASSERT_EQ(held.rows.size(), 4u);
    for (const Row& row : held.rows) {
        EXPECT_EQ(row[held.fieldIndex("IDSITUATPESS")].toText(), "R");
    }
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(AgendaSelectionFlowTest, CtrlZBringsBackTheDeletedRowsAndTheMenuItemFollowsTheHistory) {
    seed(3);
    const DataPacket before = serverList(kNow.date());
    auto* view = agenda<QTableView>("dbsAFazer");
    auto* undo = agendaWindow()->findChild<QAction*>("mnuDesfazer");
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text().remove('&').section('\t', 0, 0), "Desfazer");
    EXPECT_FALSE(undo->isEnabled());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QString question;
    answerMessageBox("&Sim", &question);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(question, "Excluir os 3 lembretes selecionados?");
    EXPECT_EQ(gridRows(), 0);
    EXPECT_TRUE(undo->isEnabled());

    // Shortcuts reach the active window only.
    activate(window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(serverList(kNow.date()).rows, before.rows);
    EXPECT_FALSE(undo->isEnabled());
}

}  // namespace
}  // namespace lembrete::testing
