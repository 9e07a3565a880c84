#include "server/table_layout.h"

#include <gtest/gtest.h>

#include "data/reminder_record.h"
#include "server/reminder_queries.h"

namespace lembrete {
namespace {

// The packets the server sends carry exactly the client's record layouts: same fields in the
// same order, with the same types and widths.
TEST(TableLayout, PacketsCarryTheClientRecords) {
    EXPECT_EQ(ReminderQueries::agendaFields().fields, ReminderRecord::fields());
    EXPECT_EQ(ReminderQueries::markedDayFields().fields, MarkedDateRecord::fields());

    const auto sent = ReminderQueries::descriptionFields().fields;
    const auto record = DescriptionRecord::fields();
    ASSERT_EQ(sent.size(), record.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].name, record[i].name);
        EXPECT_EQ(sent[i].type, record[i].type) << sent[i].name;
        EXPECT_EQ(sent[i].size, record[i].size) << sent[i].name;
        EXPECT_EQ(sent[i].origin, "DBHALVARD.DESCATIVPESSOAL." + sent[i].name);
    }
}

// Every field of a record is either a stored column or derived, never both.
TEST(TableLayout, StoresEveryRecordFieldButTheDerivedOnes) {
    for (const TableLayout* layout : {&reminderLayout(), &descriptionLayout()}) {
        std::size_t stored = 0;
        for (const auto& field : *layout->record) {
            const bool isColumn = layout->find(field.def.name) != nullptr;
            EXPECT_NE(isColumn, layout->isDerived(field.def.name)) << field.def.name;
            if (isColumn) {
                EXPECT_EQ(layout->columns[stored++].name, field.def.name) << "order";
            }
        }
        EXPECT_EQ(stored, layout->columns.size()) << layout->table;
    }
    EXPECT_TRUE(reminderLayout().isDerived(ReminderRecord::HORARIO));
    EXPECT_TRUE(reminderLayout().isDerived(ReminderRecord::DATA));
}

}  // namespace
}  // namespace lembrete
