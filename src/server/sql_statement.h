// SqlStatement: one prepared SQL statement of a connection, run many times.
//
// The parameters and result columns live in the object and are bound once, by their kinds
// given as letters: 't' text, 'r' real (double), 'i' integer. Set the parameters, execute,
// read the row, fetch the next. Owned by its StoreConnection; used by one thread at a time.
#pragma once

#include <soci/soci.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lembrete {

class SqlStatement {
  public:
    SqlStatement(soci::session& session, bool isSqlite, const std::string& sql,
                 std::string_view parameterKinds, std::string_view columnKinds);

    void setNull(std::size_t index);
    void setText(std::size_t index, std::string_view text);
    void setOptionalText(std::size_t index, const std::optional<std::string>& text);
    void setReal(std::size_t index, std::optional<double> number);
    void setInteger(std::size_t index, long long number);

    // Runs the statement; true when it returned a first row.
    bool execute();
    // Moves to the next row; false after the last.
    bool fetch();
    long long affectedRows();
    // Ends a read left before its last row. An SQLite statement stepped part way keeps its
    // read transaction, and with it an old snapshot of the database, open on the connection.
    void reset();

    bool isNull(std::size_t column) const { return columnIndicators_[column] == soci::i_null; }
    const std::string& text(std::size_t column) const { return columnTexts_[column]; }
    std::optional<std::string> optionalText(std::size_t column) const;
    std::optional<double> real(std::size_t column) const;
    long long integer(std::size_t column) const { return columnIntegers_[column]; }

  private:
    bool isSqlite_;
    std::unique_ptr<soci::statement> statement_;
    std::vector<std::string> parameterTexts_;
    std::vector<double> parameterReals_;
    std::vector<long long> parameterIntegers_;
    std::vector<soci::indicator> parameterIndicators_;
    std::vector<std::string> columnTexts_;
    std::vector<double> columnReals_;
    std::vector<long long> columnIntegers_;
    std::vector<soci::indicator> columnIndicators_;
};

}  // namespace lembrete
