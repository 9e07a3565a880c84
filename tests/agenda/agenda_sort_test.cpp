// The agenda grid's column titles against the real reminder service: each column sorts by what
// its values mean and a second click turns the order round; the order outlives every reload
// (Atualizar, another day, a toggle), the cursor and the selection stay on their reminders,
// and "Imprimir" prints the rows as shown.
#include <gtest/gtest.h>

#include "data/reminder_record.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {
namespace {

constexpr int kOkColumn = 0;
constexpr int kPriorityColumn = 1;
constexpr int kTimeColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kReferenceColumn = 4;

DateTime at(int day, int hour, int minute = 0) {
    return DateTime(Date::fromParts(2026, 12, day),
                    std::chrono::hours(hour) + std::chrono::minutes(minute));
}

class AgendaSortTest : public AgendaServerTest {
  protected:
    // Numbers 1..5; the server lists them by date and time: 3 1 2 4 5.
    TfrmAFazer& SeedAndOpen() {
        Seed("reunião", at(8, 9), "P", "N", "10");
        Seed("Água", at(8, 11, 30), "P", "N", "9");
        Seed("banco", at(8, 8, 15), "P", "N", "10");
        Seed("Édipo", at(8, 14), "R", "N", "2");
        Seed("Dentista", at(9, 7), "P", "N", "1");
        TfrmAFazer& form = OpenAgenda();
        form.ckcRealizados.Click();
        form.ckcTodos.Click();
        return form;
    }

    // The numbers of the rows, in the grid's order.
    static std::string Numbers(TfrmAFazer& form) {
        std::string text;
        for (int row = 0; row < form.dbsAFazer.RowCount(); ++row) {
            text += (text.empty() ? "" : " ") +
                    form.cdsAFazer.RowAt(row)[form.cdsAFazer.FieldIndex(ReminderRecord::NRATIVPESS)]
                        .toText();
        }
        return text;
    }
    static std::string Current(TfrmAFazer& form) {
        return form.cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString();
    }
    static int RowOf(TfrmAFazer& form, const std::string& number) {
        const int field = form.cdsAFazer.FieldIndex(ReminderRecord::NRATIVPESS);
        for (int row = 0; row < form.cdsAFazer.RecordCount(); ++row) {
            if (form.cdsAFazer.RowAt(row)[field].toText() == number) {
                return row;
            }
        }
        ADD_FAILURE() << "no row of reminder " << number;
        return -1;
    }
};

TEST_F(AgendaSortTest, EachColumnSortsByWhatItsValuesMeanAndASecondClickTurnsItRound) {
    TfrmAFazer& form = SeedAndOpen();
    ASSERT_EQ(Numbers(form), "3 1 2 4 5") << "date and time, as the server lists them";
    const struct {
        int column;
        const char* ascending;
        const char* descending;
    } columns[] = {
        // 1, 2, 9, 10, 10 as numbers (as texts "10" would come before "2").
        {kPriorityColumn, "5 4 2 3 1", "3 1 2 4 5"},
        // The time of day alone: tomorrow's 07:00 first.
        {kTimeColumn, "5 3 1 2 4", "4 2 1 3 5"},
        // Date and time: tomorrow's 07:00 last.
        {kDateColumn, "3 1 2 4 5", "5 4 2 1 3"},
        // Água, banco, Dentista, Édipo, reunião: case and accents ignored.
        {kReferenceColumn, "2 3 5 4 1", "1 4 5 3 2"},
        // Pending before done; equal ones keep the order shown.
        {kOkColumn, "1 5 3 2 4", "4 1 5 3 2"},
    };
    for (const auto& column : columns) {
        form.dbsAFazer.ClickTitle(column.column);
        EXPECT_EQ(Numbers(form), column.ascending) << "column " << column.column;
        EXPECT_EQ(form.dbsAFazer.SortColumn(), column.column);
        EXPECT_FALSE(form.dbsAFazer.SortDescending());
        form.dbsAFazer.ClickTitle(column.column);
        EXPECT_EQ(Numbers(form), column.descending) << "column " << column.column;
        EXPECT_TRUE(form.dbsAFazer.SortDescending());
    }
}

TEST_F(AgendaSortTest, TheOrderOutlivesEveryReloadAndTheSelectedReminderStaysSelected) {
    TfrmAFazer& form = SeedAndOpen();
    form.dbsAFazer.ClickCell(RowOf(form, "2"), kReferenceColumn);
    form.dbsAFazer.ClickCell(RowOf(form, "5"), kReferenceColumn, ssCtrl);
    ASSERT_EQ(Current(form), "5");
    form.dbsAFazer.ClickTitle(kReferenceColumn);
    ASSERT_EQ(Numbers(form), "2 3 5 4 1");
    EXPECT_EQ(Current(form), "5");
    EXPECT_EQ(form.dbsAFazer.SelectedRows(), (std::vector<int>{0, 2})) << "reminders 2 and 5";

    form.sbtVerificar.Click();
    EXPECT_EQ(Numbers(form), "2 3 5 4 1") << "Atualizar";
    form.speDiaPost.Click();
    EXPECT_EQ(Numbers(form), "5") << "another day";
    form.speDiaAnt.Click();
    EXPECT_EQ(Numbers(form), "2 3 5 4 1") << "back";

    // A toggle is sent and the list read again: the order and the cursor stay.
    form.dbsAFazer.ClickCell(RowOf(form, "1"), kOkColumn);
    EXPECT_NE(ServerRows().find("1 reunião R N"), std::string::npos) << ServerRows();
    EXPECT_EQ(Numbers(form), "2 3 5 4 1");
    EXPECT_EQ(Current(form), "1");
    EXPECT_EQ(form.dbsAFazer.SortColumn(), kReferenceColumn);
}

TEST_F(AgendaSortTest, ImprimirPrintsTheRowsInTheOrderShown) {
    TfrmAFazer& form = SeedAndOpen();
    form.dbsAFazer.ClickTitle(kPriorityColumn);
    form.dbsAFazer.ClickTitle(kPriorityColumn);
    ASSERT_EQ(Numbers(form), "3 1 2 4 5");
    form.dbsAFazer.ClickTitle(kReferenceColumn);
    ASSERT_EQ(Numbers(form), "2 3 5 4 1");
    form.sbtImprimirClick();
    ASSERT_EQ(host_.Printed().size(), 1u);
    const PrintDocument& printed = host_.Printed().back();
    ASSERT_EQ(printed.sections.size(), 1u);
    std::string references;
    for (const PrintRow& row : printed.sections[0].rows) {
        references += (references.empty() ? "" : ", ") + row.cells.back();
    }
    EXPECT_EQ(references, "Água, banco, Dentista, Édipo, reunião");
}

}  // namespace
}  // namespace lembrete::testing
