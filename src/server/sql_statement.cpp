#include "server/sql_statement.h"

#include <soci/sqlite3/soci-sqlite3.h>

#include <stdexcept>

namespace lembrete {

SqlStatement::SqlStatement(soci::session& session, bool isSqlite, const std::string& sql,
                           std::string_view parameterKinds, std::string_view columnKinds)
    : isSqlite_(isSqlite),
      statement_(std::make_unique<soci::statement>(session)),
      parameterTexts_(parameterKinds.size()),
      parameterReals_(parameterKinds.size()),
      parameterIntegers_(parameterKinds.size()),
      parameterIndicators_(parameterKinds.size(), soci::i_null),
      columnTexts_(columnKinds.size()),
      columnReals_(columnKinds.size()),
      columnIntegers_(columnKinds.size()),
      columnIndicators_(columnKinds.size(), soci::i_null) {
    // The vectors never grow again: SOCI keeps references to their elements.
    for (std::size_t i = 0; i < parameterKinds.size(); ++i) {
        switch (parameterKinds[i]) {
            case 't':
                statement_->exchange(soci::use(parameterTexts_[i], parameterIndicators_[i]));
                break;
            case 'r':
                statement_->exchange(soci::use(parameterReals_[i], parameterIndicators_[i]));
                break;
            case 'i':
                statement_->exchange(soci::use(parameterIntegers_[i], parameterIndicators_[i]));
                break;
            default:
                throw std::logic_error("parameter kind");
        }
    }
    for (std::size_t i = 0; i < columnKinds.size(); ++i) {
        switch (columnKinds[i]) {
            case 't':
                statement_->exchange(soci::into(columnTexts_[i], columnIndicators_[i]));
                break;
            case 'r':
                statement_->exchange(soci::into(columnReals_[i], columnIndicators_[i]));
                break;
            case 'i':
                statement_->exchange(soci::into(columnIntegers_[i], columnIndicators_[i]));
                break;
            default:
                throw std::logic_error("column kind");
        }
    }
    statement_->alloc();
    statement_->prepare(sql);
    statement_->define_and_bind();
}

void SqlStatement::setNull(std::size_t index) {
    parameterIndicators_[index] = soci::i_null;
}

void SqlStatement::setText(std::size_t index, std::string_view text) {
    parameterTexts_[index].assign(text);
    parameterIndicators_[index] = soci::i_ok;
}

void SqlStatement::setOptionalText(std::size_t index, const std::optional<std::string>& text) {
    if (text) {
        setText(index, std::string_view(*text));
    } else {
        setNull(index);
    }
}

void SqlStatement::setReal(std::size_t index, std::optional<double> number) {
    parameterReals_[index] = number.value_or(0);
    parameterIndicators_[index] = number ? soci::i_ok : soci::i_null;
}

void SqlStatement::setInteger(std::size_t index, long long number) {
    parameterIntegers_[index] = number;
    parameterIndicators_[index] = soci::i_ok;
}

bool SqlStatement::execute() {
    return statement_->execute(true);
}

bool SqlStatement::fetch() {
    return statement_->fetch();
}

long long SqlStatement::affectedRows() {
    return statement_->get_affected_rows();
}

void SqlStatement::reset() {
    if (isSqlite_) {
        sqlite_api::sqlite3_reset(
            static_cast<soci::sqlite3_statement_backend*>(statement_->get_backend())->stmt_);
    }
}

std::optional<std::string> SqlStatement::optionalText(std::size_t column) const {
    return isNull(column) ? std::nullopt : std::optional<std::string>(columnTexts_[column]);
}

std::optional<double> SqlStatement::real(std::size_t column) const {
    return isNull(column) ? std::nullopt : std::optional<double>(columnReals_[column]);
}

}  // namespace lembrete
