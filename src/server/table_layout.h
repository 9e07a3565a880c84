// TableLayout: the stored columns of a table the clients write through deltas, with the
// checks every written value must pass. The delta writer, the readers and the packets they
// send all take their column lists from here.
//
// Names, types, widths and order come from the client's record layouts (ReminderRecord,
// DescriptionRecord) and the code values are checked with the record's own checks, so client
// and server cannot drift apart; the table names, insert defaults, required flags, derived
// fields and messages are the server's.
//
// Three tables: reminders (ATIVPESSOAL, plus the derived fields HORARIO and DATA that rows carry
// but nobody writes) and descriptions (DESCATIVPESSOAL), keyed by operator and reminder number;
// series rules (SERIEATIVPESSOAL), keyed by operator and repetition number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_packet.h"
#include "data/field_layout.h"
#include "server/number_sequences.h"

namespace lembrete {

enum class ColumnCheck {
    Operator,
    Number,
    OptionalNumber,
    Text,
    DateTime,
    State,
    Alarm,
    Lead,
    Unit,
    Priority,
    Blob,
    SeriesKind,
    Interval,
    Weekdays,
    MonthlyMode
};

struct Column {
    std::string name;
    FieldType type;
    int width;  // characters, for text columns
    ColumnCheck check;
    const char* insertDefault;  // value stored when an insert leaves the column out; nullptr: null
    bool required;              // may not be null
};

// A column's value as SQL binds it: text or a real number, or null.
struct SqlValue {
    std::optional<std::string> text;
    std::optional<double> real;
    friend bool operator==(const SqlValue&, const SqlValue&) = default;
};

struct TableLayout {
    const char* table;
    const char* rowNoun;  // "o lembrete", "a descrição do lembrete": messages about one row
    const std::vector<FieldLayout>* record;       // the client's layout of one row
    std::vector<Column> columns;                  // the stored fields of `record`, in its order
    std::vector<std::string_view> derivedFields;  // in packets, ignored when writing
    bool isReminders;
    std::string_view numberColumn;  // the key's number: NRATIVPESS or NRREPETATIVP
    SequenceKind numbers;           // the sequence that issues it

    const Column* find(std::string_view name) const;
    bool isDerived(std::string_view name) const;
    // The fields of the packets sent for this table: the record's, stored ones with their
    // origin (columnField).
    std::vector<FieldDef> packetFields() const;
};

const TableLayout& reminderLayout();
const TableLayout& descriptionLayout();
const TableLayout& seriesLayout();
const TableLayout& importKeyLayout();

// The packet field of `column`; its origin is "DBHALVARD.<TABLE>.<COLUMN>".
FieldDef columnField(const TableLayout& layout, const Column& column);

// Throws RpcFailure(InvalidValue) with a Portuguese message when `value` may not be stored
// in `column` (wrong kind, too wide, invalid code, out of range).
void checkValue(const Column& column, const Variant& value);
// The value in its stored form (checkValue passed).
SqlValue toSqlValue(const Column& column, const Variant& value);

}  // namespace lembrete
