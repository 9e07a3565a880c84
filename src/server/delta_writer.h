// DeltaWriter: applies a client dataset's change log to one table, all or nothing.
//
// The whole delta is checked first (field names and types, widths, codes, the operator of
// every row); then every change runs in one write transaction. Inserts store the row (an
// existing key, or a number the server never issued, refuses the delta); updates and deletes
// find the row by its key and by the old values of the stored columns the delta carries, so a
// row changed or deleted by someone else meanwhile is a conflict. Columns the delta leaves out
// are neither compared nor written; derived fields (HORARIO, DATA) are ignored. Deleting a
// reminder deletes its description and its import origin; a description is written only for a
// stored reminder. A reminder's alarm time is set on insert and computed again by an update that
// changes one of the fields it follows from (alarm_queries.h). Any refusal throws RpcFailure and
// nothing is written.
//
// Consecutive inserts go to the database as one multi-row statement (up to kInsertParameters
// parameters), so that a long series costs a few round trips to the server, not one a row;
// the changes keep their order all the same.
//
// apply() is check() and write() in a transaction of its own; a call that writes several tables
// at once (a series: reminders, descriptions and rule) checks every delta first, then writes them
// all in one transaction. The key is the operator and the layout's number column.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "data/data_packet.h"
#include "server/sql_statement.h"
#include "server/table_layout.h"

namespace lembrete {

class StoreConnection;

class DeltaWriter {
  public:
    DeltaWriter(const TableLayout& layout, std::string sessionOperator);

    // Parameters of one insert statement at most: well within what either database accepts
    // (SQLite 32,766, PostgreSQL 65,535) and large enough that a round trip carries hundreds
    // of rows.
    static constexpr std::size_t kInsertParameters = 8000;

    // Returns the number of changes applied.
    int apply(StoreConnection& connection, const DataPacket& delta);

    // Checks `delta` whole (throws RpcFailure); nothing is written.
    void check(const DataPacket& delta);
    // Writes the delta last checked, inside the caller's write transaction.
    void write(StoreConnection& connection, const DataPacket& delta);

  private:
    struct BoundField {
        const Column* column;  // nullptr: a derived field
    };

    void bindFields(const DataPacket& delta);
    void prepareInsert();
    void checkChange(const Change& change) const;
    void checkRow(const Row& row) const;
    void checkIssued(StoreConnection& connection, const DataPacket& delta) const;
    // A description is kept only beside its reminder.
    void checkDescribedReminders(StoreConnection& connection, const DataPacket& delta) const;
    // Inserts the rows in one statement.
    void insert(StoreConnection& connection, std::span<const Row* const> rows) const;
    // Binds one row's insert parameters from parameter `first` on.
    void bindInsert(SqlStatement& statement, std::size_t first, const Row& row) const;
    void update(StoreConnection& connection, const Change& change) const;
    // Whether an update changes a field the alarm time follows from: it is armed again.
    bool movesAlarm(const Change& change) const;
    void remove(StoreConnection& connection, const Row& oldRow) const;
    // "WHERE key AND old values" and its parameters, appended to `sql` / `values`.
    void appendMatch(const Row& oldRow, std::string& sql, std::string& kinds,
                     std::vector<SqlValue>& values) const;
    std::string keyText(const Row& row) const;
    // The row as the user knows it: a reminder by its reference, date and time.
    std::string rowText(const Row& row) const;

    const TableLayout& layout_;
    std::string sessionOperator_;
    std::vector<BoundField> fields_;
    int operatorField_ = -1;
    int numberField_ = -1;
    std::string insertColumns_;      // "(A, B, ...)"
    std::string insertKinds_;        // one row's
    std::vector<int> insertFields_;  // per layout column: its field in the delta, or -1
};

}  // namespace lembrete
