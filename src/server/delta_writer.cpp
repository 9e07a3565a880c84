#include "server/delta_writer.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <optional>
#include <set>

#include "data/reminder_record.h"
#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/alarm_queries.h"
#include "server/number_sequences.h"
#include "server/rpc_failure.h"
#include "server/search_key.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

// The folded copy that the searches compare (search_key.h), stored beside the reference and
// beside the description; nullptr for every other column.
const char* searchColumnOf(const Column& column) {
    if (column.name == ReminderRecord::DSREFEATPESS) {
        return "DSREFEBUSCA";
    }
    if (column.name == DescriptionRecord::TXATIVPESS) {
        return "DSDESCBUSCA";
    }
    return nullptr;
}

char kindOf(const Column& column) {
    return column.type == FieldType::Float ? 'r' : 't';
}

SqlValue searchValue(const Variant& value) {
    if (value.kind() == VariantKind::Blob) {
        return {descriptionSearchKey(value.asBlob().bytes), std::nullopt};
    }
    return {searchKey(value.isNull() ? std::string_view() : value.asStringView()), std::nullopt};
}

void bindValues(SqlStatement& statement, const std::string& kinds,
                const std::vector<SqlValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (kinds[i] == 'r') {
            statement.setReal(i, values[i].real);
        } else {
            statement.setOptionalText(i, values[i].text);
        }
    }
}

// The same operator may hold the row open on another desktop: the message names the row as
// the user knows it and blames no one.
RpcFailure conflict(const std::string& row) {
    return RpcFailure(rpc_error::Conflict,
                      row +
                          " foi alterado ou excluído em outra sessão (outra janela ou outro "
                          "computador) depois da última leitura. Nenhuma alteração foi gravada; "
                          "confira os dados atuais e tente novamente.");
}

// Whether the alarm time follows from this column (alarm_queries.h).
bool drivesAlarm(const Column& column) {
    return column.name == ReminderRecord::DTATIVPESS ||
           column.name == ReminderRecord::IDSITUATPESS ||
           column.name == ReminderRecord::IDALARATPESS ||
           column.name == ReminderRecord::QTSEGUATPESS ||
           column.name == ReminderRecord::IDUNITATPESS;
}

// The alarm time of a reminder row about to be inserted, from its stored values by column.
std::optional<std::string> insertedAlarmTime(const std::vector<Column>& columns,
                                             const std::vector<SqlValue>& values) {
    std::optional<DateTime> event;
    AlarmFields fields;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto& name = columns[i].name;
        const std::string_view text = values[i].text ? std::string_view(*values[i].text) : "";
        if (name == ReminderRecord::DTATIVPESS) {
            event = json_codec::parseIsoDateTime(text);
        } else if (name == ReminderRecord::IDSITUATPESS) {
            fields.state = text;
        } else if (name == ReminderRecord::IDALARATPESS) {
            fields.alarm = text;
        } else if (name == ReminderRecord::QTSEGUATPESS) {
            fields.lead = values[i].real;
        } else if (name == ReminderRecord::IDUNITATPESS) {
            fields.unit = text;
        }
    }
    if (!event) {
        return std::nullopt;
    }
    fields.event = *event;
    return AlarmQueries::storedDueTime(fields);
}

long long numberValue(const std::string& digits) {
    long long number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return ec == std::errc{} && end == digits.data() + digits.size()
               ? number
               : NumberSequences::kMaxNumber + 1;
}

// Calls run(first, count) over [0, total) in batches of at most `most`. A short batch is cut
// to a power of two, so that a few statement texts, prepared once per connection, serve every
// length of delta.
template <class Run>
void inBatches(std::size_t total, std::size_t most, const Run& run) {
    for (std::size_t first = 0; first < total;) {
        std::size_t count = std::min(most, total - first);
        if (count < most) {
            count = std::bit_floor(count);
        }
        run(first, count);
        first += count;
    }
}

}  // namespace

DeltaWriter::DeltaWriter(const TableLayout& layout, std::string sessionOperator)
    : layout_(layout), sessionOperator_(std::move(sessionOperator)) {}

int DeltaWriter::apply(StoreConnection& connection, const DataPacket& delta) {
    check(delta);
    WriteTransaction transaction(connection);
    write(connection, delta);
    transaction.commit();
    return static_cast<int>(delta.changes.size());
}

void DeltaWriter::check(const DataPacket& delta) {
    bindFields(delta);
    if (!delta.rows.empty()) {
        throw RpcFailure(rpc_error::InvalidValue,
                         "O pacote enviado não é um delta: traz linhas em vez de alterações.");
    }
    for (const auto& change : delta.changes) {
        checkChange(change);
    }
}

void DeltaWriter::write(StoreConnection& connection, const DataPacket& delta) {
    checkIssued(connection, delta);
    if (&layout_ == &descriptionLayout()) {
        checkDescribedReminders(connection, delta);
    }
    const std::size_t rowsPerInsert =
        std::max<std::size_t>(1, kInsertParameters / insertKinds_.size());
    std::vector<const Row*> inserts;
    const auto flushInserts = [&] {
        const std::span<const Row* const> rows(inserts);
        inBatches(rows.size(), rowsPerInsert, [&](std::size_t first, std::size_t count) {
            insert(connection, rows.subspan(first, count));
        });
        inserts.clear();
    };
    for (const auto& change : delta.changes) {
        if (change.kind == ChangeKind::Insert) {
            inserts.push_back(&change.newValues.values());
            continue;
        }
        flushInserts();
        if (change.kind == ChangeKind::Update) {
            update(connection, change);
        } else {
            remove(connection, change.oldValues);
        }
    }
    flushInserts();
    if (layout_.isReminders && !delta.changes.empty()) {
        // Calendars cached by any server for this operator are stale from this commit on.
        NumberSequences::advance(connection, sessionOperator_, SequenceKind::ReminderChange);
    }
}

void DeltaWriter::bindFields(const DataPacket& delta) {
    fields_.clear();
    for (std::size_t i = 0; i < delta.fields.size(); ++i) {
        const auto& field = delta.fields[i];
        const Column* column = layout_.find(field.name);
        if (!column && !layout_.isDerived(field.name)) {
            throw RpcFailure(rpc_error::InvalidValue, "Campo desconhecido no delta de " +
                                                          std::string(layout_.table) + ": " +
                                                          field.name + ".");
        }
        if (delta.fieldIndex(field.name) != static_cast<int>(i)) {
            throw RpcFailure(rpc_error::InvalidValue,
                             "Campo repetido no delta: " + field.name + ".");
        }
        fields_.push_back({column});
    }
    operatorField_ = delta.fieldIndex("CDOPERADOR");
    numberField_ = delta.fieldIndex(std::string(layout_.numberColumn));
    if (operatorField_ < 0 || numberField_ < 0) {
        throw RpcFailure(rpc_error::InvalidValue, "O delta de " + std::string(layout_.table) +
                                                      " deve trazer os campos CDOPERADOR e " +
                                                      std::string(layout_.numberColumn) + ".");
    }
    prepareInsert();
}

void DeltaWriter::checkRow(const Row& row) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].column) {
            checkValue(*fields_[i].column, row[i]);
        }
    }
    if (row[operatorField_].asString() != sessionOperator_) {
        throw RpcFailure(rpc_error::OtherOperator,
                         "Acesso negado: o delta traz linhas do operador " +
                             row[operatorField_].asString() + ", e a sessão é do operador " +
                             sessionOperator_ + ".");
    }
}

void DeltaWriter::checkChange(const Change& change) const {
    if (change.kind != ChangeKind::Insert) {
        checkRow(change.oldValues);
    }
    if (change.kind != ChangeKind::Delete) {
        checkRow(change.newValues);
    }
    if (change.kind == ChangeKind::Update &&
        (change.oldValues[operatorField_] != change.newValues[operatorField_] ||
         change.oldValues[numberField_] != change.newValues[numberField_])) {
        throw RpcFailure(rpc_error::InvalidValue, "A chave de " + std::string(layout_.rowNoun) +
                                                      " " + keyText(change.oldValues) +
                                                      " não pode ser alterada.");
    }
    if (change.kind == ChangeKind::Insert) {
        for (const auto& column : layout_.columns) {
            const bool present =
                std::any_of(fields_.begin(), fields_.end(),
                            [&](const BoundField& field) { return field.column == &column; });
            if (column.required && !column.insertDefault && !present) {
                throw RpcFailure(rpc_error::InvalidValue, std::string("O campo ") + column.name +
                                                              " é obrigatório para incluir " +
                                                              layout_.rowNoun + ".");
            }
        }
    }
}

void DeltaWriter::checkIssued(StoreConnection& connection, const DataPacket& delta) const {
    long long highest = 0;
    for (const auto& change : delta.changes) {
        if (change.kind == ChangeKind::Insert) {
            highest = std::max(highest, numberValue(change.newValues[numberField_].asString()));
        }
    }
    if (highest > 0 &&
        highest > NumberSequences::lastIssued(connection, sessionOperator_, layout_.numbers)) {
        const char* noun = layout_.numbers == SequenceKind::Reminder ? "de lembrete" : "de série";
        throw RpcFailure(rpc_error::NumberNotIssued,
                         std::string("O número ") + noun + " " + std::to_string(highest) +
                             " não foi emitido pelo servidor para o operador " + sessionOperator_ +
                             ". Nenhuma alteração foi gravada.");
    }
}

void DeltaWriter::checkDescribedReminders(StoreConnection& connection,
                                          const DataPacket& delta) const {
    std::vector<const Row*> described;
    for (const auto& change : delta.changes) {
        if (change.kind != ChangeKind::Delete) {
            described.push_back(&change.newValues.values());
        }
    }
    // Planned for its numbers, PostgreSQL looks them up in a hash; a plan made without them
    // compares every row of the operator with each number of the list in turn.
    const PlansForTheValues plans(connection);
    inBatches(described.size(), kInsertParameters, [&](std::size_t first, std::size_t count) {
        std::string sql =
            "SELECT NRATIVPESS FROM ATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS IN (";
        for (std::size_t i = 0; i < count; ++i) {
            sql += (i == 0 ? ":n" : ", :n") + std::to_string(i);
        }
        sql += ")";
        auto& select = connection.statement(sql, std::string(count + 1, 't'), "t");
        select.setText(0, sessionOperator_);
        for (std::size_t i = 0; i < count; ++i) {
            select.setText(i + 1, (*described[first + i])[numberField_].asStringView());
        }
        std::set<std::string> found;
        for (bool more = select.execute(); more; more = select.fetch()) {
            found.insert(select.text(0));
        }
        for (std::size_t i = first; i < first + count; ++i) {
            if (!found.contains((*described[i])[numberField_].asString())) {
                throw RpcFailure(
                    rpc_error::Conflict,
                    "O lembrete " + keyText(*described[i]) +
                        " não existe (outro usuário pode tê-lo excluído). Nenhuma "
                        "alteração foi gravada; recarregue os dados e tente novamente.");
            }
        }
    });
}

void DeltaWriter::prepareInsert() {
    // Inserts always write every stored column (defaults for those the delta leaves out), so
    // one statement serves every insert of the delta.
    std::string names;
    insertKinds_.clear();
    insertFields_.clear();
    const auto add = [&](std::string_view name, char kind) {
        names += (names.empty() ? "" : ", ") + std::string(name);
        insertKinds_.push_back(kind);
    };
    for (const auto& column : layout_.columns) {
        const auto field =
            std::find_if(fields_.begin(), fields_.end(),
                         [&](const BoundField& bound) { return bound.column == &column; });
        insertFields_.push_back(field != fields_.end() ? static_cast<int>(field - fields_.begin())
                                                       : -1);
        add(column.name, kindOf(column));
        if (const char* search = searchColumnOf(column)) {
            add(search, 't');
        }
    }
    if (layout_.isReminders) {
        add(AlarmQueries::kColumn, 't');
    }
    insertColumns_ = "(" + names + ")";
}

void DeltaWriter::insert(StoreConnection& connection, std::span<const Row* const> rows) const {
    const std::string number(layout_.numberColumn);
    std::string sql =
        "INSERT INTO " + std::string(layout_.table) + " " + insertColumns_ + " VALUES ";
    std::string kinds;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        sql += row == 0 ? "(" : ", (";
        for (std::size_t i = 0; i < insertKinds_.size(); ++i) {
            sql += (i == 0 ? ":p" : ", :p") + std::to_string(kinds.size() + i);
        }
        sql += ")";
        kinds += insertKinds_;
    }
    sql += " ON CONFLICT (CDOPERADOR, " + number + ") DO NOTHING RETURNING " + number;
    auto& statement = connection.statement(sql, kinds, "t");
    for (std::size_t row = 0; row < rows.size(); ++row) {
        bindInsert(statement, row * insertKinds_.size(), *rows[row]);
    }
    // The numbers of the rows stored; a key already held (or twice in the delta) is missing.
    std::multiset<std::string> stored;
    for (bool more = statement.execute(); more; more = statement.fetch()) {
        stored.insert(statement.text(0));
    }
    if (stored.size() == rows.size()) {
        return;
    }
    for (const Row* row : rows) {
        const auto found = stored.find((*row)[numberField_].asString());
        if (found == stored.end()) {
            throw RpcFailure(rpc_error::ExistingKey, "Já existe " + std::string(layout_.rowNoun) +
                                                         " " + keyText(*row) +
                                                         ". Nenhuma alteração foi gravada.");
        }
        stored.erase(found);
    }
}

void DeltaWriter::bindInsert(SqlStatement& statement, std::size_t first, const Row& row) const {
    std::size_t parameter = first;
    const auto bind = [&](const SqlValue& value) {
        if (insertKinds_[parameter - first] == 'r') {
            statement.setReal(parameter++, value.real);
        } else {
            statement.setOptionalText(parameter++, value.text);
        }
    };
    std::vector<SqlValue> stored;
    stored.reserve(layout_.columns.size());
    for (std::size_t i = 0; i < layout_.columns.size(); ++i) {
        const auto& column = layout_.columns[i];
        Variant value = insertFields_[i] >= 0 ? row[insertFields_[i]] : Variant();
        if (value.isNull() && column.insertDefault) {
            value = Variant(column.insertDefault);
        }
        stored.push_back(toSqlValue(column, value));
        bind(stored.back());
        if (searchColumnOf(column)) {
            bind(searchValue(value));
        }
    }
    if (layout_.isReminders) {
        bind({insertedAlarmTime(layout_.columns, stored), std::nullopt});
    }
}

void DeltaWriter::appendMatch(const Row& oldRow, std::string& sql, std::string& kinds,
                              std::vector<SqlValue>& values) const {
    sql += " WHERE CDOPERADOR = :k0 AND " + std::string(layout_.numberColumn) + " = :k1";
    kinds += "tt";
    values.push_back({oldRow[operatorField_].asString(), std::nullopt});
    values.push_back({oldRow[numberField_].asString(), std::nullopt});
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Column* column = fields_[i].column;
        if (!column || static_cast<int>(i) == operatorField_ ||
            static_cast<int>(i) == numberField_) {
            continue;
        }
        if (oldRow[i].isNull()) {
            sql += " AND " + std::string(column->name) + " IS NULL";
        } else {
            sql += " AND " + std::string(column->name) + " = :o" + std::to_string(values.size());
            kinds.push_back(kindOf(*column));
            values.push_back(toSqlValue(*column, oldRow[i]));
        }
    }
}

void DeltaWriter::update(StoreConnection& connection, const Change& change) const {
    std::string sql = "UPDATE " + std::string(layout_.table) + " SET ";
    std::string kinds;
    std::vector<SqlValue> values;
    const auto set = [&](std::string_view name, char kind, SqlValue value) {
        sql += (values.empty() ? "" : ", ") + std::string(name) + " = :n" +
               std::to_string(values.size());
        kinds.push_back(kind);
        values.push_back(std::move(value));
    };
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Column* column = fields_[i].column;
        if (!column || static_cast<int>(i) == operatorField_) {
            continue;
        }
        // The number is unchanged (checked); setting it keeps the statement valid when the
        // delta carries nothing else.
        set(column->name, kindOf(*column), toSqlValue(*column, change.newValues[i]));
        if (const char* search = searchColumnOf(*column)) {
            set(search, 't', searchValue(change.newValues[i]));
        }
    }
    appendMatch(change.oldValues, sql, kinds, values);
    auto& statement = connection.statement(sql, kinds);
    bindValues(statement, kinds, values);
    statement.execute();
    if (statement.affectedRows() != 1) {
        throw conflict(rowText(change.oldValues));
    }
    if (layout_.isReminders && movesAlarm(change)) {
        AlarmQueries::rearm(connection, change.oldValues[operatorField_].asString(),
                            change.oldValues[numberField_].asString());
    }
}

bool DeltaWriter::movesAlarm(const Change& change) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Column* column = fields_[i].column;
        if (column && drivesAlarm(*column) &&
            toSqlValue(*column, change.oldValues[i]) != toSqlValue(*column, change.newValues[i])) {
            return true;
        }
    }
    return false;
}

void DeltaWriter::remove(StoreConnection& connection, const Row& oldRow) const {
    std::string sql = "DELETE FROM " + std::string(layout_.table);
    std::string kinds;
    std::vector<SqlValue> values;
    appendMatch(oldRow, sql, kinds, values);
    auto& statement = connection.statement(sql, kinds);
    bindValues(statement, kinds, values);
    statement.execute();
    if (statement.affectedRows() != 1) {
        throw conflict(rowText(oldRow));
    }
    if (layout_.isReminders) {
        for (const char* sql :
             {"DELETE FROM DESCATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS = :nr",
              "DELETE FROM ICALATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS = :nr"}) {
            auto& dependent = connection.statement(sql, "tt");
            dependent.setText(0, oldRow[operatorField_].asString());
            dependent.setText(1, oldRow[numberField_].asString());
            dependent.execute();
        }
    }
}

std::string DeltaWriter::keyText(const Row& row) const {
    return row[numberField_].toText() + " do operador " + row[operatorField_].toText();
}

std::string DeltaWriter::rowText(const Row& row) const {
    std::string reference;
    std::optional<DateTime> when;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Column* column = fields_[i].column;
        if (column == nullptr || row[i].isNull()) {
            continue;
        }
        if (column->name == ReminderRecord::DSREFEATPESS) {
            reference = row[i].toText();
        } else if (column->name == ReminderRecord::DTATIVPESS &&
                   row[i].kind() == VariantKind::DateTime) {
            when = row[i].asDateTime();
        }
    }
    if (!layout_.isReminders || reference.empty()) {
        std::string noun = layout_.rowNoun;
        noun.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(noun.front())));
        return noun + " " + keyText(row);
    }
    std::string text = "O lembrete \"" + reference + "\"";
    if (when) {
        text += " de " + when->date().format() + " às " + when->formatTime().substr(0, 5);
    }
    return text;
}

}  // namespace lembrete
