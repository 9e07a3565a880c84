// The data grid: columns, cursor, user actions and the paint description; the data-aware
// boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "toolkit/db_date_edit.h"
#include "toolkit/db_rich_edit.h"
#include "toolkit/db_sort_grid.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

DataPacket reminders() {
    DataPacket packet;
    packet.fields = {{"NRATIVPESS", FieldType::String, 10, ""},
                     {"IDSITUATPESS", FieldType::String, 1, ""},
                     {"IDALARATPESS", FieldType::String, 1, ""},
                     {"DSREFEATPESS", FieldType::String, 100, ""},
                     {"DTATIVPESS", FieldType::DateTime, 0, ""}};
    packet.rows = {{"1", "P", "S", "Reunião", DateTime::fromParts({2003, 3, 17}, 9)},
                   {"2", "R", "N", "Dentista", DateTime::fromParts({2003, 3, 18})}};
    return packet;
}

// A screen painting as the agenda does: a check image for the state, an alarm image before
// the reference text.
struct GridScreen : TForm {
    GridScreen() : TForm("frmAFazer") {
        dts.SetDataSet(&cds);
        cds.SetData(reminders());
        dbs.SetColor(clInfoBk);
        dbs.SetColumns({{"IDSITUATPESS", "Ok", 19, Alignment::Center},
                        {"NRATIVPESS", "Número", TColumn::kDefaultWidth, Alignment::Right},
                        {"DSREFEATPESS", "Referência", 307}});
        dbs.SetDataSource(&dts);
        dbs.OnDrawColumnCell = [](TCanvas& canvas, const CellRect& rect, int, const TColumn& column,
                                  const GridRow& row) {
            if (column.FieldName == "IDSITUATPESS") {
                canvas.FillRect();
                canvas.Draw(rect.left + 2, rect.top,
                            row.Text("IDSITUATPESS") == "R" ? "imgCheck" : "imgUncheck", clOlive);
            } else if (column.FieldName == "DSREFEATPESS") {
                canvas.FillRect();
                int x = rect.left + 2;
                if (row.Text("IDALARATPESS") == "S") {
                    canvas.Draw(x, rect.top, "imgAlarme", clOlive);
                    x += 18;
                }
                canvas.TextOut(x, rect.top + 2, row.Text("DSREFEATPESS"));
            }
        };
    }
    ClientDataSet& cds = Make<ClientDataSet>("cdsAFazer");
    DataSource& dts = Make<DataSource>("dtsAFazer");
    TDBSortGrid& dbs = Add<TDBSortGrid>("dbsAFazer");
    std::vector<std::string> log;
};

TEST(DBGridTest, PaintDescriptionCombinesDefaultDrawingAndTheHandler) {
    GridScreen screen;
    const struct {
        int row, column;
        const char* expected;
    } cells[] = {
        {0, 0, "fill(clInfoBk) text(P@2,2 center) fill(clInfoBk) image(imgUncheck@2,0)"},
        {1, 0, "fill(clInfoBk) text(R@2,2 center) fill(clInfoBk) image(imgCheck@2,0)"},
        {0, 1, "fill(clInfoBk) text(1@2,2 right)"},
        {0, 2,
         "fill(clInfoBk) text(Reunião@2,2) fill(clInfoBk) image(imgAlarme@2,0) "
         "text(Reunião@20,2)"},
        {1, 2, "fill(clInfoBk) text(Dentista@2,2) fill(clInfoBk) text(Dentista@2,2)"},
    };
    for (const auto& cell : cells) {
        EXPECT_EQ(screen.dbs.PaintCell(cell.row, cell.column).Describe(), cell.expected)
            << cell.row << "," << cell.column;
    }
    const TCanvas check = screen.dbs.PaintCell(0, 0);
    EXPECT_EQ(check.Ops().back().transparent, clOlive);
    EXPECT_EQ(check.Rect().width, 19);
    EXPECT_EQ(screen.dbs.Row(), 0);  // painting never moves the cursor
    EXPECT_THROW(screen.dbs.PaintCell(2, 0), std::out_of_range);
}

TEST(DBGridTest, CellClickMovesTheCursorAndSelectsTheColumn) {
    GridScreen screen;
    screen.dbs.OnCellClick = [&](const TColumn& column) {
        screen.log.push_back(column.FieldName + "@" +
                             screen.cds.FieldByName("NRATIVPESS").AsString());
    };
    screen.dbs.ClickCell(1, 0);
    EXPECT_EQ(screen.dbs.Row(), 1);
    EXPECT_EQ(screen.dbs.SelectedIndex(), 0);
    screen.dbs.ClickCell(0, 2);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"IDSITUATPESS@2", "DSREFEATPESS@1"}));
    EXPECT_EQ(screen.dbs.ColumnIndex("dsrefeatpess"), 2);
    EXPECT_EQ(screen.dbs.ColumnIndex("HORARIO"), -1);
    EXPECT_EQ(screen.dbs.CellText(1, 2), "Dentista");
}

TEST(DBGridTest, KeyDownHandlerCanConsumeTheKeyOrLetTheGridAct) {
    GridScreen screen;
    screen.dbs.OnKeyDown = [&](int& key, TShiftState shift) {
        screen.log.push_back(std::to_string(key) + ((shift & ssCtrl) ? "+ctrl" : ""));
        if (key == VK_SPACE) {
            key = 0;
        }
    };
    screen.dbs.PressKey(VK_DOWN);
    EXPECT_EQ(screen.dbs.Row(), 1);
    screen.dbs.PressKey(VK_SPACE, ssCtrl);
    screen.dbs.PressKey(VK_RIGHT);
    EXPECT_EQ(screen.dbs.SelectedIndex(), 1);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"40", "32+ctrl", "39"}));
}

TEST(DBGridTest, InsertKeyAbandonedByTheNewRecordHandlerAddsNoRow) {
    GridScreen screen;
    screen.cds.OnNewRecord = [](ClientDataSet&) { throw Abandon(); };
    screen.dbs.PressKey(VK_INSERT);
    EXPECT_EQ(screen.cds.RecordCount(), 2);
    EXPECT_EQ(screen.cds.State(), DataSetState::Browse);
    screen.dbs.SetReadOnly(true);
    screen.cds.OnNewRecord = nullptr;
    screen.dbs.PressKey(VK_INSERT);
    EXPECT_EQ(screen.cds.State(), DataSetState::Browse);
}

TEST(DBGridTest, CtrlDeleteAsksFirstAndNoAnswerMeansNo) {
    GridScreen screen;
    screen.dbs.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(screen.cds.RecordCount(), 2);
    screen.dbs.DeleteConfirmation = [] { return true; };
    screen.dbs.PressKey(VK_DELETE);  // without Ctrl: nothing
    EXPECT_EQ(screen.cds.RecordCount(), 2);
    screen.dbs.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(screen.cds.RecordCount(), 1);
    screen.dbs.DeleteConfirmation = [] { return false; };
    screen.dbs.SetOptions(screen.dbs.Options() & ~dgConfirmDelete);  // no question asked
    screen.dbs.PressKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(screen.cds.RecordCount(), 0);
}

TEST(DBGridTest, ObserversHearRowsAndCursor) {
    GridScreen screen;
    std::vector<std::string> seen;
    auto subscription = screen.dbs.Observe(
        [&](Component&, Property property) { seen.emplace_back(propertyName(property)); });
    screen.cds.Next();
    screen.cds.SetData(reminders());
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), "Cursor");
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Rows"), seen.end());
}

TEST(DataAwareEditTest, RichEditShowsTheCurrentRowAndWritesBackIntoEditState) {
    GridScreen screen;
    auto& drtDesc = screen.Add<TDBRichEdit>("drtDesc");
    drtDesc.SetDataField("DSREFEATPESS");
    drtDesc.SetDataSource(&screen.dts);
    EXPECT_EQ(drtDesc.Text(), "Reunião");
    screen.cds.Next();
    EXPECT_EQ(drtDesc.Text(), "Dentista");
    EXPECT_EQ(screen.cds.State(), DataSetState::Browse);  // showing is not editing

    drtDesc.TypeText("!");
    EXPECT_EQ(screen.cds.State(), DataSetState::Edit);
    EXPECT_EQ(screen.cds.FieldByName("DSREFEATPESS").AsString(), "Dentista!");
    screen.cds.Cancel();
    EXPECT_EQ(drtDesc.Text(), "Dentista");

    drtDesc.SetReadOnly(true);
    drtDesc.SetText("outro");
    EXPECT_EQ(screen.cds.State(), DataSetState::Browse);
}

TEST(DataAwareEditTest, DateEditFollowsTheFieldAndWritesNullWhenCleared) {
    GridScreen screen;
    auto& depData = screen.Add<TDBDateEdit>("depData");
    depData.SetSaveTime(true);
    depData.SetDataField("DTATIVPESS");
    depData.SetDataSource(&screen.dts);
    EXPECT_EQ(depData.GetDate(), DateTime::fromParts({2003, 3, 17}, 9));
    EXPECT_TRUE(depData.EnterText("20/03/2003"));
    EXPECT_EQ(screen.cds.FieldByName("DTATIVPESS").AsDateTime(),
              DateTime::fromParts({2003, 3, 20}, 9));
    depData.Clear();
    EXPECT_TRUE(screen.cds.FieldByName("DTATIVPESS").IsNull());
}

}  // namespace
}  // namespace lembrete
