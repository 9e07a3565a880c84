// The sortable grid: a title click orders the dataset's rows by the column, a second turns the
// order round; the cursor and the selected rows stay on their rows, and the order outlives a
// reload of the dataset.
#include "toolkit/db_sort_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

DataPacket reminders() {
    DataPacket packet;
    packet.fields = {{"NRATIVPESS", FieldType::String, 10, ""},
                     {"IDSITUATPESS", FieldType::String, 1, ""},
                     {"NRPRIOATPESS", FieldType::String, 3, ""},
                     {"DSREFEATPESS", FieldType::String, 100, ""}};
    packet.rows = {{"1", "P", "2", "Dentista"},
                   {"2", "R", "10", "banco"},
                   {"3", "P", "1", "Édipo"},
                   {"4", "R", "2", "ação"}};
    return packet;
}

struct SortScreen : TForm {
    SortScreen() : TForm("frmAFazer") {
        dts.SetDataSet(&cds);
        cds.SetData(reminders());
        dbs.SetColumns({{"IDSITUATPESS", "Ok", 19},
                        {"NRPRIOATPESS", "Prioridade"},
                        {"DSREFEATPESS", "Referência", 307}});
        dbs.SetDataSource(&dts);
    }
    // The numbers in the order shown.
    std::string shown() const {
        std::string text;
        for (int row = 0; row < cds.RecordCount(); ++row) {
            text += (text.empty() ? "" : " ") + cds.RowAt(row)[0].toText();
        }
        return text;
    }
    ClientDataSet& cds = Make<ClientDataSet>("cdsAFazer");
    DataSource& dts = Make<DataSource>("dtsAFazer");
    TDBSortGrid& dbs = Add<TDBSortGrid>("dbsAFazer");
};

TEST(DBSortGridTest, TitleClicksSortAndTurnTheOrderRound) {
    SortScreen screen;
    TDBSortGrid& grid = screen.dbs;
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_EQ(screen.shown(), "1 2 3 4") << "as loaded until a title is clicked";
    const struct {
        int column;
        const char* expected;
        bool descending;
    } clicks[] = {
        {1, "3 1 4 2", false},  // priorities as numbers, equal ones as loaded
        {1, "2 1 4 3", true},  {1, "3 1 4 2", false},
        {2, "4 2 1 3", false},                         // references without case and accents
        {2, "3 1 2 4", true},  {0, "3 1 2 4", false},  // pending first
        {0, "2 4 3 1", true},
    };
    for (const auto& click : clicks) {
        grid.ClickTitle(click.column);
        EXPECT_EQ(screen.shown(), click.expected) << "column " << click.column;
        EXPECT_EQ(grid.SortColumn(), click.column);
        EXPECT_EQ(grid.SortDescending(), click.descending) << "column " << click.column;
    }
    EXPECT_THROW(grid.ClickTitle(3), std::out_of_range);
}

TEST(DBSortGridTest, TheCursorAndTheSelectedRowsStayOnTheirRowsAndTheOrderOutlivesAReload) {
    SortScreen screen;
    TDBSortGrid& grid = screen.dbs;
    std::vector<std::string> heard;
    auto subscription = grid.Observe([&](Component&, Property property) {
        if (property == Property::Order || property == Property::Selection) {
            heard.emplace_back(propertyName(property));
        }
    });
    grid.ClickCell(1, 2);
    grid.ClickCell(3, 2, ssCtrl);
    ASSERT_EQ(grid.SelectedRows(), (std::vector<int>{1, 3}));
    heard.clear();
    grid.ClickTitle(2);
    ASSERT_EQ(screen.shown(), "4 2 1 3");
    EXPECT_EQ(screen.cds.FieldByName("NRATIVPESS").AsString(), "4");
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1})) << "reminders 4 and 2";
    EXPECT_EQ(heard.back(), "Order");
    // The anchor went with its row: Shift extends from reminder 4.
    grid.ClickCell(2, 2, ssShift);
    EXPECT_EQ(grid.SelectedRows(), (std::vector<int>{0, 1, 2}));

    screen.cds.SetData(reminders());
    EXPECT_EQ(screen.shown(), "4 2 1 3");
    EXPECT_EQ(grid.SortColumn(), 2);
}

TEST(DBSortGridTest, ADisabledGridDoesNotSort) {
    SortScreen screen;
    screen.dbs.SetEnabled(false);
    screen.dbs.ClickTitle(1);
    EXPECT_EQ(screen.dbs.SortColumn(), -1);
    EXPECT_EQ(screen.shown(), "1 2 3 4");
}

}  // namespace
}  // namespace lembrete
