#include "server/reminder_queries.h"

#include <algorithm>

#include "data/reminder_record.h"
#include "net/base64.h"
#include "net/json_codec.h"
#include "server/search_key.h"
#include "server/store_connection.h"
#include "server/table_layout.h"

namespace lembrete {
namespace {

// LIKE pattern for a substring, its wildcards taken literally.
std::string containsPattern(const std::string& key) {
    std::string pattern = "%";
    for (const char c : key) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern.push_back('\\');
        }
        pattern.push_back(c);
    }
    pattern.push_back('%');
    return pattern;
}

Variant textOrNull(const SqlStatement& statement, std::size_t column) {
    return statement.isNull(column) ? Variant() : Variant(statement.text(column));
}

Variant storedDateTime(const SqlStatement& statement, std::size_t column) {
    if (statement.isNull(column)) {
        return Variant();
    }
    const auto when = json_codec::parseIsoDateTime(statement.text(column));
    return when ? Variant(*when) : Variant();
}

// The stored columns of a reminder row, as appendReminderRows reads them.
constexpr std::string_view kReminderColumns =
    "SELECT CDOPERADOR, NRATIVPESS, DSREFEATPESS, DTATIVPESS, IDSITUATPESS, IDALARATPESS,"
    " QTSEGUATPESS, IDUNITATPESS, NRPRIOATPESS, NRREPETATIVP";
constexpr const char* kReminderColumnKinds = "ttttttrttt";

// Every row of `select` (kReminderColumns) as a ReminderRecord row, with HORARIO and DATA.
void appendReminderRows(SqlStatement& select, DataPacket& packet) {
    for (bool more = select.execute(); more; more = select.fetch()) {
        const Variant when = storedDateTime(select, 3);
        const bool hasDate = when.kind() == VariantKind::DateTime;
        packet.rows.push_back({
            textOrNull(select, 0),
            textOrNull(select, 1),
            textOrNull(select, 2),
            when,
            textOrNull(select, 4),
            textOrNull(select, 5),
            select.real(6) ? Variant(*select.real(6)) : Variant(),
            textOrNull(select, 7),
            hasDate ? Variant(when.asDateTime().formatTime()) : Variant(),
            textOrNull(select, 8),
            hasDate ? Variant(when.asDateTime().date().format()) : Variant(),
            textOrNull(select, 9),
        });
    }
}

}  // namespace

DataPacket ReminderQueries::agendaFields() {
    return {reminderLayout().packetFields(), {}, {}};
}

DataPacket ReminderQueries::markedDayFields() {
    const auto& layout = reminderLayout();
    DataPacket packet;
    packet.fields.push_back(columnField(layout, *layout.find(ReminderRecord::DTATIVPESS)));
    return packet;
}

DataPacket ReminderQueries::descriptionFields() {
    return {descriptionLayout().packetFields(), {}, {}};
}

DataPacket ReminderQueries::agenda(StoreConnection& connection, const AgendaFilter& filter) {
    DataPacket packet = agendaFields();
    if (!filter.showDone && !filter.showPending) {
        return packet;
    }
    auto& select = connection.statement(
        std::string(kReminderColumns) +
            " FROM ATIVPESSOAL"
            " WHERE CDOPERADOR = :op AND DTATIVPESS >= :fromDay AND DTATIVPESS < :untilDay"
            " AND IDSITUATPESS IN (:state1, :state2)"
            " AND (:key = '' OR DSREFEBUSCA LIKE :pattern ESCAPE '\\')"
            " ORDER BY DTATIVPESS, CAST(NRATIVPESS AS BIGINT)",
        "ttttttt", kReminderColumnKinds);
    select.setText(0, filter.operatorCode);
    // Stored date-times are ISO text: a day's rows lie between "yyyy-mm-dd" and the next day.
    select.setText(1, filter.day.iso());
    select.setText(2, filter.fromDayOn ? std::string("9999") : filter.day.addDays(1).iso());
    select.setText(3, filter.showPending ? "P" : "R");
    select.setText(4, filter.showDone ? "R" : "P");
    // SQLite prepares a LIKE on a column again whenever its pattern is bound anew, unless the LIKE
    // sits in an OR; the empty key, which matches every row, also skips the LIKE this way.
    const auto key = searchKey(filter.reference);
    select.setText(5, key);
    select.setText(6, containsPattern(key));
    appendReminderRows(select, packet);
    return packet;
}

DataPacket ReminderQueries::series(StoreConnection& connection, const std::string& operatorCode,
                                   const std::string& seriesNumber) {
    DataPacket packet = agendaFields();
    auto& select = connection.statement(std::string(kReminderColumns) +
                                            " FROM ATIVPESSOAL"
                                            " WHERE CDOPERADOR = :op AND NRREPETATIVP = :series"
                                            " ORDER BY DTATIVPESS, CAST(NRATIVPESS AS BIGINT)",
                                        "tt", kReminderColumnKinds);
    select.setText(0, operatorCode);
    select.setText(1, seriesNumber);
    appendReminderRows(select, packet);
    return packet;
}

DataPacket ReminderQueries::seriesRuleFields() {
    return {seriesLayout().packetFields(), {}, {}};
}

DataPacket ReminderQueries::seriesRule(StoreConnection& connection, const std::string& operatorCode,
                                       const std::string& seriesNumber) {
    DataPacket packet = seriesRuleFields();
    auto& select = connection.statement(
        "SELECT CDOPERADOR, NRREPETATIVP, IDTIPOREPET, NRINTERREPET, IDDIASREPET, IDMODOMENSAL,"
        " DTINICREPET, DTTERMREPET FROM SERIEATIVPESSOAL"
        " WHERE CDOPERADOR = :op AND NRREPETATIVP = :series",
        "tt", "tttttttt");
    select.setText(0, operatorCode);
    select.setText(1, seriesNumber);
    if (select.execute()) {
        packet.rows.push_back({textOrNull(select, 0), textOrNull(select, 1), textOrNull(select, 2),
                               textOrNull(select, 3), textOrNull(select, 4), textOrNull(select, 5),
                               storedDateTime(select, 6), storedDateTime(select, 7)});
    }
    return packet;
}

void ReminderQueries::forEachMarkedDay(StoreConnection& connection, const std::string& operatorCode,
                                       std::optional<DayRange> days,
                                       const std::function<void(std::string_view stored)>& visit) {
    // The index (CDOPERADOR, DTATIVPESS) yields the date-times of the range in order; dropping
    // repeated days here costs far less than a DISTINCT, which sorts them all again.
    auto& select = connection.statement(
        "SELECT DTATIVPESS FROM ATIVPESSOAL"
        " WHERE CDOPERADOR = :op AND DTATIVPESS >= :fromDay AND DTATIVPESS < :untilDay"
        " ORDER BY DTATIVPESS",
        "ttt", "t");
    select.setText(0, operatorCode);
    // Stored date-times are ISO text: every one sorts after "" and before "9999".
    select.setText(1, days ? days->first.iso() : std::string());
    select.setText(2, days ? days->last.addDays(1).iso() : std::string("9999"));
    std::string lastDay;
    for (bool more = select.execute(); more; more = select.fetch()) {
        const std::string_view stored = select.text(0);
        const std::string_view day = stored.substr(0, 10);
        if (day != lastDay) {
            lastDay = day;
            visit(stored);
        }
    }
}

DataPacket ReminderQueries::markedDays(StoreConnection& connection, const std::string& operatorCode,
                                       std::optional<DayRange> days) {
    DataPacket packet = markedDayFields();
    forEachMarkedDay(connection, operatorCode, days, [&](std::string_view stored) {
        if (const auto when = json_codec::parseIsoDateTime(stored)) {
            packet.rows.push_back({Variant(when->date())});
        }
    });
    return packet;
}

std::string ReminderQueries::markedDaysText(StoreConnection& connection,
                                            const std::string& operatorCode,
                                            std::optional<DayRange> days) {
    // A thousand days are usual: each row is written as the codec writes a midnight
    // date-time, straight from the stored text, once that text is known to read as one.
    constexpr std::string_view midnightRow = ",[\"yyyy-mm-ddT00:00:00\"]";
    std::string rows;
    const int expectedDays = days ? std::min(days->first.daysUntil(days->last) + 1, 1024) : 1024;
    rows.reserve(static_cast<std::size_t>(expectedDays) * midnightRow.size());
    forEachMarkedDay(connection, operatorCode, days, [&](std::string_view stored) {
        if (json_codec::isIsoDateTime(stored)) {
            rows += rows.empty() ? "[\"" : ",[\"";
            rows += stored.substr(0, 10);
            rows += "T00:00:00\"]";
        }
    });
    return json_codec::encodePacket(markedDayFields().fields, rows);
}

DataPacket ReminderQueries::description(StoreConnection& connection,
                                        const std::string& operatorCode,
                                        const std::string& number) {
    DataPacket packet = descriptionFields();
    auto& select = connection.statement(
        "SELECT TXATIVPESS FROM DESCATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS = :nr", "tt",
        "t");
    select.setText(0, operatorCode);
    select.setText(1, number);
    if (select.execute()) {
        Variant text;
        if (!select.isNull(0)) {
            text = Variant(Blob{base64::decode(select.text(0)).value_or(std::string())});
        }
        packet.rows.push_back({text, Variant(operatorCode), Variant(number)});
    }
    return packet;
}

}  // namespace lembrete
