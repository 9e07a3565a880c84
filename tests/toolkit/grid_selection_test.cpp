// The selection of several grid rows: clicks with and without Ctrl and Shift, select all, and
// the grid keeping it in step with its cursor.
#include "toolkit/grid_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "toolkit/db_grid.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

struct Click {
    int row;
    TShiftState shift;
};

struct SelectionCase {
    const char* name;
    std::vector<Click> clicks;
    std::vector<int> expected;
};

class GridSelectionCases : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(GridSelectionCases, ClicksSelect) {
    GridSelection selection;
    selection.Reset(10, 0);
    for (const Click& click : GetParam().clicks) {
        selection.Select(click.row, click.shift);
    }
    EXPECT_EQ(selection.Rows(), GetParam().expected);
    EXPECT_EQ(selection.Count(), static_cast<int>(GetParam().expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, GridSelectionCases,
    ::testing::Values(
        SelectionCase{"PlainClickSelectsOneRow", {{3, ssNone}, {5, ssNone}}, {5}},
        SelectionCase{"CtrlAddsAndRemoves", {{2, ssCtrl}, {4, ssCtrl}, {0, ssCtrl}}, {2, 4}},
        SelectionCase{"ShiftSelectsFromTheAnchor", {{2, ssNone}, {5, ssShift}}, {2, 3, 4, 5}},
        SelectionCase{"ShiftUpwards", {{6, ssNone}, {3, ssShift}}, {3, 4, 5, 6}},
        SelectionCase{
            "ShiftAgainReplacesTheRange", {{2, ssNone}, {5, ssShift}, {3, ssShift}}, {2, 3}},
        SelectionCase{"CtrlShiftAddsARangeFromTheNewAnchor",
                      {{1, ssNone}, {5, ssCtrl}, {7, ssCtrl | ssShift}},
                      {1, 5, 6, 7}},
        SelectionCase{"CtrlMovesTheAnchor", {{1, ssNone}, {4, ssCtrl}, {6, ssShift}}, {4, 5, 6}},
        SelectionCase{"RowsOutsideAreIgnored", {{12, ssNone}, {-1, ssCtrl}}, {0}},
        SelectionCase{"TheOnlyRowCanBeUnselected", {{0, ssCtrl}}, {}}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return info.param.name; });

TEST(GridSelectionTest, SelectAllResetAndSetRows) {
    GridSelection selection;
    selection.Reset(4, 1);
    EXPECT_EQ(selection.Rows(), (std::vector<int>{1}));
    selection.SelectAll();
    EXPECT_EQ(selection.Rows(), (std::vector<int>{0, 1, 2, 3}));
    selection.SetRows({3, 9, 0});
    EXPECT_EQ(selection.Rows(), (std::vector<int>{0, 3}));
    selection.Select(1, ssShift);  // the anchor is the first row given: 3
    EXPECT_EQ(selection.Rows(), (std::vector<int>{1, 2, 3}));
    selection.Reset(0, 0);
    EXPECT_EQ(selection.Count(), 0);
    selection.SelectAll();
    EXPECT_TRUE(selection.Rows().empty());
}

TEST(GridSelectionTest, ReorderKeepsTheRowsAndTheAnchor) {
    GridSelection selection;
    selection.Reset(4, 1);
    selection.Select(2, ssShift);
    ASSERT_EQ(selection.Rows(), (std::vector<int>{1, 2}));
    // Rows turned round: 0→3, 1→2, 2→1, 3→0.
    selection.Reorder({3, 2, 1, 0});
    EXPECT_EQ(selection.Rows(), (std::vector<int>{1, 2}));
    selection.Reorder({1, 0, 3, 2});
    EXPECT_EQ(selection.Rows(), (std::vector<int>{0, 3}));
    EXPECT_EQ(selection.Count(), 2);
    // The anchor (row 1 at first) is now at 3: Shift selects from there.
    selection.Select(2, ssShift);
    EXPECT_EQ(selection.Rows(), (std::vector<int>{2, 3}));
    selection.Reorder({0, 1});  // not one index per row: ignored
    EXPECT_EQ(selection.Rows(), (std::vector<int>{2, 3}));
}

DataPacket fiveRows() {
    DataPacket packet;
    packet.fields = {{"NRATIVPESS", FieldType::String, 10, ""},
                     {"IDSITUATPESS", FieldType::String, 1, ""}};
    for (int number = 1; number <= 5; ++number) {
        packet.rows.push_back({std::to_string(number), "P"});
    }
    return packet;
}

struct SelectingScreen : TForm {
    SelectingScreen() : TForm("frmAFazer") {
        dts.SetDataSet(&cds);
        cds.SetData(fiveRows());
        dbs.SetColumns({{"IDSITUATPESS", "Ok", 19}, {"NRATIVPESS", "Número"}});
        dbs.SetDataSource(&dts);
        dbs.SetActionColumn(0);
        dbs.OnCellClick = [this](const TColumn&) { clicked = dbs.SelectedRows(); };
    }
    ClientDataSet& cds = Make<ClientDataSet>("cdsAFazer");
    DataSource& dts = Make<DataSource>("dtsAFazer");
    TDBGrid& dbs = Add<TDBGrid>("dbsAFazer");
    std::vector<int> clicked;
};

TEST(GridSelectionTest, TheGridSelectsWithShiftArrowsCtrlAAndClicks) {
    SelectingScreen screen;
    TDBGrid& grid = screen.dbs;
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0}));
    grid.PressKey(VK_DOWN, ssShift);
    grid.PressKey(VK_DOWN, ssShift);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1, 2}));
    grid.PressKey(VK_END, ssShift);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    grid.PressKey(VK_UP);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{3}));
    grid.PressKey('A', ssCtrl);
    EXPECT_EQ(grid.SelectedCount(), 5);
    EXPECT_EQ(grid.Row(), 3);
    grid.PressKey('A');  // without Ctrl: nothing
    EXPECT_EQ(grid.SelectedCount(), 5);

    // A plain click in the action column on a selected row acts on all of them.
    grid.ClickCell(1, 0);
    EXPECT_EQ(screen.clicked, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(grid.Row(), 1);
    // Elsewhere it selects the row clicked.
    grid.ClickCell(4, 1);
    EXPECT_EQ(screen.clicked, (std::vector<int>{4}));
    grid.ClickCell(2, 1, ssCtrl);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{2, 4}));
    EXPECT_EQ(grid.Row(), 2);
    grid.ClickCell(0, 1, ssShift);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1, 2}));
}

TEST(GridSelectionTest, ACursorMovedOutsideTheGridSelectsItsRowOnly) {
    SelectingScreen screen;
    TDBGrid& grid = screen.dbs;
    std::vector<std::string> seen;
    auto subscription = grid.Observe([&](Component&, Property property) {
        if (property == Property::Selection) {
            seen.emplace_back(std::to_string(grid.SelectedCount()));
        }
    });
    grid.PressKey('A', ssCtrl);
    screen.cds.Locate("NRATIVPESS", "4");
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{3}));
    grid.PressKey('A', ssCtrl);
    screen.cds.SetData(fiveRows());
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0}));
    grid.SelectRows({1, 3, 7});
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{1, 3}));
    // Typing into a row keeps the selection; a post or a delete selects the current row again.
    screen.cds.Edit();
    screen.cds.FieldByName("IDSITUATPESS").SetAsString("R");
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{1, 3}));
    screen.cds.Post();
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0}));
    grid.SelectRows({1, 3});
    screen.cds.Delete();
    EXPECT_EQ(grid.SelectedCount(), 1);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{grid.Row()}));
    EXPECT_EQ(seen.front(), "5");
}

}  // namespace
}  // namespace lembrete
