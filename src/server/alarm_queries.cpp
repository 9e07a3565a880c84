#include "server/alarm_queries.h"

#include <vector>

#include "data/reminder_record.h"
#include "net/alarm_contract.h"
#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/rpc_failure.h"
#include "server/store_connection.h"
#include "server/table_layout.h"

namespace lembrete {
namespace {

// The columns the alarm time follows from, in the order the reads below select them.
constexpr const char* kAlarmColumns =
    "DTATIVPESS, IDSITUATPESS, IDALARATPESS, QTSEGUATPESS, IDUNITATPESS";

std::optional<std::string> storedDueTimeOf(const SqlStatement& row) {
    const auto event = json_codec::parseIsoDateTime(row.text(0));
    if (!event) {
        return std::nullopt;
    }
    return AlarmQueries::storedDueTime(
        {*event, row.text(1), row.text(2), row.real(3), row.isNull(4) ? "" : row.text(4)});
}

struct StoredAlarm {
    bool exists = false;
    std::optional<std::string> alarmTime;  // what the stored fields give
};

StoredAlarm computedAlarm(StoreConnection& connection, const std::string& operatorCode,
                          const std::string& number) {
    auto& select = connection.statement(std::string("SELECT ") + kAlarmColumns +
                                            " FROM ATIVPESSOAL"
                                            " WHERE CDOPERADOR = :op AND NRATIVPESS = :nr",
                                        "tt", "tttrt");
    select.setText(0, operatorCode);
    select.setText(1, number);
    if (!select.execute()) {
        return {};
    }
    StoredAlarm stored{true, storedDueTimeOf(select)};
    select.reset();
    return stored;
}

void storeAlarmTime(StoreConnection& connection, const std::string& operatorCode,
                    const std::string& number, const std::optional<std::string>& alarmTime) {
    auto& update = connection.statement(
        "UPDATE ATIVPESSOAL SET DTALARMEATPESS = :at WHERE CDOPERADOR = :op AND NRATIVPESS = :nr",
        "ttt");
    update.setOptionalText(0, alarmTime);
    update.setText(1, operatorCode);
    update.setText(2, number);
    update.execute();
}

}  // namespace

std::optional<std::string> AlarmQueries::storedDueTime(const AlarmFields& fields) {
    const auto due = alarmDueTime(fields);
    return due ? std::optional<std::string>(due->iso()) : std::nullopt;
}

DataPacket AlarmQueries::dueFields() {
    const auto& layout = reminderLayout();
    DataPacket packet;
    for (const auto name : {ReminderRecord::CDOPERADOR, ReminderRecord::NRATIVPESS,
                            ReminderRecord::DSREFEATPESS, ReminderRecord::DTATIVPESS}) {
        packet.fields.push_back(columnField(layout, *layout.find(name)));
    }
    packet.fields.push_back({alarm_contract::kAlarmTimeField, FieldType::DateTime, 0, ""});
    return packet;
}

DataPacket AlarmQueries::due(StoreConnection& connection, const std::string& operatorCode,
                             const DateTime& until) {
    DataPacket packet = dueFields();
    // ISO texts of one form compare as the date-times they hold.
    auto& select = connection.statement(
        "SELECT NRATIVPESS, DSREFEATPESS, DTATIVPESS, DTALARMEATPESS FROM ATIVPESSOAL"
        " WHERE CDOPERADOR = :op AND DTALARMEATPESS IS NOT NULL AND DTALARMEATPESS <= :until"
        " ORDER BY DTALARMEATPESS, CAST(NRATIVPESS AS BIGINT)",
        "tt", "tttt");
    select.setText(0, operatorCode);
    select.setText(1, until.iso());
    for (bool more = select.execute(); more; more = select.fetch()) {
        const auto event = json_codec::parseIsoDateTime(select.text(2));
        const auto alarmTime = json_codec::parseIsoDateTime(select.text(3));
        if (!event || !alarmTime) {
            continue;
        }
        packet.rows.push_back({Variant(operatorCode), Variant(select.text(0)),
                               select.isNull(1) ? Variant() : Variant(select.text(1)),
                               Variant(*event), Variant(*alarmTime)});
    }
    return packet;
}

int AlarmQueries::snooze(StoreConnection& connection, const std::string& operatorCode,
                         const std::string& number, const std::optional<DateTime>& snoozeUntil) {
    WriteTransaction transaction(connection);
    const auto stored = computedAlarm(connection, operatorCode, number);
    if (!stored.exists) {
        throw RpcFailure(
            rpc_error::InvalidValue,
            "O lembrete " + number + " não existe entre os do operador " + operatorCode + ".");
    }
    // A reminder done or silenced meanwhile on another desktop stays silent.
    if (!stored.alarmTime) {
        return 0;
    }
    storeAlarmTime(connection, operatorCode, number,
                   snoozeUntil ? std::optional<std::string>(snoozeUntil->iso()) : std::nullopt);
    transaction.commit();
    return 1;
}

void AlarmQueries::rearm(StoreConnection& connection, const std::string& operatorCode,
                         const std::string& number) {
    const auto stored = computedAlarm(connection, operatorCode, number);
    if (stored.exists) {
        storeAlarmTime(connection, operatorCode, number, stored.alarmTime);
    }
}

void AlarmQueries::armAll(StoreConnection& connection) {
    struct Armed {
        std::string operatorCode;
        std::string number;
        std::string alarmTime;
    };
    std::vector<Armed> armed;
    auto& select = connection.statement(std::string("SELECT ") + kAlarmColumns +
                                            ", CDOPERADOR, NRATIVPESS FROM ATIVPESSOAL"
                                            " WHERE IDALARATPESS = 'S' AND IDSITUATPESS = 'P'",
                                        "", "tttrttt");
    for (bool more = select.execute(); more; more = select.fetch()) {
        if (const auto alarmTime = storedDueTimeOf(select)) {
            armed.push_back({select.text(5), select.text(6), *alarmTime});
        }
    }
    for (const auto& row : armed) {
        storeAlarmTime(connection, row.operatorCode, row.number, row.alarmTime);
    }
}

}  // namespace lembrete
