#include "server/reminder_queries.h"

#include <algorithm>
#include <vector>

#include "data/reminder_record.h"
#include "net/base64.h"
#include "net/json_codec.h"
#include "server/search_index.h"
#include "server/search_key.h"
#include "server/store_connection.h"
#include "server/table_layout.h"

namespace lembrete {
namespace {

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
void visitReminderRows(SqlStatement& select, const ReminderQueries::RowVisitor& visit) {
    for (bool more = select.execute(); more; more = select.fetch()) {
        const Variant when = storedDateTime(select, 3);
        const bool hasDate = when.kind() == VariantKind::DateTime;
        visit({
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

DataPacket ReminderQueries::collect(const std::function<void(const RowVisitor&)>& read) {
    DataPacket packet = agendaFields();
    read([&packet](const Row& row) { packet.rows.push_back(row); });
    return packet;
}

DataPacket ReminderQueries::agenda(StoreConnection& connection, const AgendaFilter& filter) {
    return collect([&](const RowVisitor& visit) { agenda(connection, filter, visit); });
}

void ReminderQueries::agenda(StoreConnection& connection, const AgendaFilter& filter,
                             const RowVisitor& visit) {
    // Stored date-times are ISO text: a day's rows lie between "yyyy-mm-dd" and the next day.
    const RangeFilter range{filter.reference, filter.operatorCode, DayRange{filter.day, filter.day},
                            filter.showDone, filter.showPending};
    rows(connection, range, filter.day.iso(),
         filter.fromDayOn ? std::string("9999") : filter.day.addDays(1).iso(), visit);
}

DataPacket ReminderQueries::range(StoreConnection& connection, const RangeFilter& filter) {
    return collect([&](const RowVisitor& visit) { range(connection, filter, visit); });
}

void ReminderQueries::range(StoreConnection& connection, const RangeFilter& filter,
                            const RowVisitor& visit) {
    rows(connection, filter, filter.days.first.iso(), filter.days.last.addDays(1).iso(), visit);
}

void ReminderQueries::rows(StoreConnection& connection, const RangeFilter& filter,
                           const std::string& from, const std::string& until,
                           const RowVisitor& visit) {
    if (!filter.showDone && !filter.showPending) {
        return;
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
    select.setText(1, from);
    select.setText(2, until);
    select.setText(3, filter.showPending ? "P" : "R");
    select.setText(4, filter.showDone ? "R" : "P");
    // SQLite prepares a LIKE on a column again whenever its pattern is bound anew, unless the LIKE
    // sits in an OR; the empty key, which matches every row, also skips the LIKE this way.
    const auto key = searchKey(filter.reference);
    select.setText(5, key);
    select.setText(6, SearchIndex::containsPattern(key));
    visitReminderRows(select, visit);
}

DataPacket ReminderQueries::search(StoreConnection& connection, const SearchRequest& request) {
    return collect([&](const RowVisitor& visit) { searchRows(connection, request, visit); });
}

namespace {

// The rows of a page after `after` (or the first page), newest first.
constexpr std::string_view kAfterPosition =
    " AND (DTATIVPESS < :when OR (DTATIVPESS = :sameWhen"
    " AND CAST(NRATIVPESS AS BIGINT) < :number))";
constexpr std::string_view kNewestFirst =
    " ORDER BY DTATIVPESS DESC, CAST(NRATIVPESS AS BIGINT) DESC";

// The date-time a page starts at. Stored date-times are ISO text, each before "9999": the
// first page starts there.
std::string startOf(const std::optional<SearchRequest::Position>& position) {
    return position ? position->when.iso() : std::string("9999");
}

void bindPosition(SqlStatement& statement, std::size_t first,
                  const std::optional<SearchRequest::Position>& position) {
    const std::string when = startOf(position);
    statement.setText(first, when);
    statement.setText(first + 1, when);
    statement.setInteger(first + 2, position ? position->number : 0);
}

}  // namespace

void ReminderQueries::searchRows(StoreConnection& connection, const SearchRequest& request,
                                 const RowVisitor& visit) {
    const auto key = searchKey(request.text);
    const PlansForTheValues plans(connection);
    int wanted = request.pageSize;
    const auto visitCounted = [&](const Row& row) {
        --wanted;
        visit(row);
    };
    // A text most reminders hold fills its page from the newest rows; for a rare one, reading on
    // would read the whole history: past the window its rows are looked up by their keys.
    std::optional<SearchRequest::Position> floor;
    if (!key.empty()) {
        floor = windowEnd(connection, request);
    }
    scanRows(connection, request, key, floor, wanted, visitCounted);
    if (floor && wanted > 0) {
        matchedRows(connection, request, key, *floor, wanted, visitCounted);
    }
}

std::optional<SearchRequest::Position> ReminderQueries::windowEnd(StoreConnection& connection,
                                                                  const SearchRequest& request) {
    // Read from the (operator, date) index alone: the window ends with the whole date-time of
    // its last row (number 0 is before every number), so ties need no sort.
    auto& select = connection.statement(
        "SELECT DTATIVPESS FROM ATIVPESSOAL WHERE CDOPERADOR = :op" + std::string(kAfterPosition) +
            " ORDER BY DTATIVPESS DESC LIMIT 1 OFFSET :window",
        "tttii", "t");
    select.setText(0, request.operatorCode);
    bindPosition(select, 1, request.after);
    select.setInteger(4, kScanWindow - 1);
    std::optional<SearchRequest::Position> end;
    if (select.execute()) {
        if (const auto when = json_codec::parseIsoDateTime(select.text(0))) {
            end = SearchRequest::Position{*when, 0};
        }
    }
    select.reset();
    return end;
}

void ReminderQueries::scanRows(StoreConnection& connection, const SearchRequest& request,
                               const std::string& key,
                               const std::optional<SearchRequest::Position>& floor, int limit,
                               const RowVisitor& visit) {
    // The (operator, date) index yields the rows newest first, down to `floor` (included) when
    // given; each is matched on its keys, the description's read from the narrow table. The
    // plain bounds on the date are what the index can range over: the position's ties need an
    // OR, which it cannot, and without them the whole history is read for a rare text.
    auto& select = connection.statement(
        std::string(kReminderColumns) + " FROM ATIVPESSOAL WHERE CDOPERADOR = :op" +
            std::string(kAfterPosition) +
            " AND (DTATIVPESS > :floor OR (DTATIVPESS = :sameFloor"
            " AND CAST(NRATIVPESS AS BIGINT) >= :floorNumber))"
            " AND DTATIVPESS <= :upTo AND DTATIVPESS >= :downTo"
            " AND (:key = '' OR DSREFEBUSCA LIKE :pattern ESCAPE '\\'"
            " OR EXISTS (SELECT 1 FROM BUSCAATIVPESSOAL B"
            " WHERE B.CDOPERADOR = ATIVPESSOAL.CDOPERADOR AND B.NRATIVPESS = ATIVPESSOAL.NRATIVPESS"
            " AND B.DSDESCBUSCA LIKE :descPattern ESCAPE '\\'))" +
            std::string(kNewestFirst) + " LIMIT :page",
        "tttittittttti", kReminderColumnKinds);
    select.setText(0, request.operatorCode);
    bindPosition(select, 1, request.after);
    // Every stored date-time sorts after "": no floor reads to the operator's first row.
    const std::string floorWhen = floor ? floor->when.iso() : std::string();
    select.setText(4, floorWhen);
    select.setText(5, floorWhen);
    select.setInteger(6, floor ? floor->number : 0);
    select.setText(7, startOf(request.after));
    select.setText(8, floorWhen);
    select.setText(9, key);
    const auto pattern = SearchIndex::containsPattern(key);
    select.setText(10, pattern);
    select.setText(11, pattern);
    select.setInteger(12, limit);
    visitReminderRows(select, visit);
}

void ReminderQueries::matchedRows(StoreConnection& connection, const SearchRequest& request,
                                  const std::string& key, const SearchRequest::Position& after,
                                  int limit, const RowVisitor& visit) {
    // The matching numbers first, then their rows (a CROSS JOIN keeps SQLite to that order
    // rather than walking the date index through the whole history).
    const Backend backend = connection.backend();
    const std::string matchKinds = SearchIndex::matchKinds(backend, key);
    auto& select = connection.statement(
        std::string(kReminderColumns) + " FROM (" + SearchIndex::matchingNumbers(backend, key) +
            ") M CROSS JOIN ATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS = M.NRACHADO" +
            std::string(kAfterPosition) + std::string(kNewestFirst) + " LIMIT :page",
        matchKinds + "ttti" + "i", kReminderColumnKinds);
    SearchIndex::bindMatch(select, 0, backend, request.operatorCode, key);
    select.setText(matchKinds.size(), request.operatorCode);
    bindPosition(select, matchKinds.size() + 1, after);
    select.setInteger(matchKinds.size() + 4, limit);
    visitReminderRows(select, visit);
}

void ReminderQueries::keyAllDescriptions(StoreConnection& connection) {
    struct Keyed {
        std::string operatorCode;
        std::string number;
        std::string key;
    };
    std::vector<Keyed> keyed;
    auto& select = connection.statement(
        "SELECT CDOPERADOR, NRATIVPESS, TXATIVPESS FROM DESCATIVPESSOAL"
        " WHERE TXATIVPESS IS NOT NULL",
        "", "ttt");
    for (bool more = select.execute(); more; more = select.fetch()) {
        keyed.push_back({select.text(0), select.text(1),
                         descriptionSearchKey(base64::decode(select.text(2)).value_or(""))});
    }
    auto& update = connection.statement(
        "UPDATE DESCATIVPESSOAL SET DSDESCBUSCA = :key WHERE CDOPERADOR = :op AND NRATIVPESS = :nr",
        "ttt");
    for (const auto& row : keyed) {
        update.setText(0, row.key);
        update.setText(1, row.operatorCode);
        update.setText(2, row.number);
        update.execute();
    }
}

DataPacket ReminderQueries::series(StoreConnection& connection, const std::string& operatorCode,
                                   const std::string& seriesNumber) {
    return collect(
        [&](const RowVisitor& visit) { series(connection, operatorCode, seriesNumber, visit); });
}

void ReminderQueries::series(StoreConnection& connection, const std::string& operatorCode,
                             const std::string& seriesNumber, const RowVisitor& visit) {
    auto& select = connection.statement(std::string(kReminderColumns) +
                                            " FROM ATIVPESSOAL"
                                            " WHERE CDOPERADOR = :op AND NRREPETATIVP = :series"
                                            " ORDER BY DTATIVPESS, CAST(NRATIVPESS AS BIGINT)",
                                        "tt", kReminderColumnKinds);
    select.setText(0, operatorCode);
    select.setText(1, seriesNumber);
    visitReminderRows(select, visit);
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
