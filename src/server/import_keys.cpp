#include "server/import_keys.h"

#include <set>

#include "data/import_key_record.h"
#include "data/reminder_record.h"
#include "server/store_connection.h"
#include "server/table_layout.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// The numbers of the rows the delta changes in `kind`, when it carries NRATIVPESS.
std::set<std::string> numbers(const DataPacket& delta, ChangeKind kind) {
    std::set<std::string> result;
    const int field = delta.fieldIndex(R::NRATIVPESS);
    if (field < 0) {
        return result;
    }
    for (const auto& change : delta.changes) {
        if (change.kind == kind) {
            const Row& row = kind == ChangeKind::Insert ? change.newValues : change.oldValues;
            result.insert(row[field].asString());
        }
    }
    return result;
}

}  // namespace

DataPacket ImportKeys::fields() {
    return {importKeyLayout().packetFields(), {}, {}};
}

DataPacket ImportKeys::read(StoreConnection& connection, const std::string& operatorCode) {
    DataPacket packet = fields();
    auto& select = connection.statement(
        "SELECT CDOPERADOR, NRATIVPESS, DSCHAVEICAL FROM ICALATIVPESSOAL WHERE CDOPERADOR = :op"
        " ORDER BY DSCHAVEICAL",
        "t", "ttt");
    select.setText(0, operatorCode);
    for (bool row = select.execute(); row; row = select.fetch()) {
        packet.rows.push_back(
            {Variant(select.text(0)), Variant(select.text(1)), Variant(select.text(2))});
    }
    return packet;
}

void ImportKeys::dropReplacedDescriptions(StoreConnection& connection,
                                          const std::string& operatorCode,
                                          const std::vector<DataPacket>& deltas) {
    std::set<std::string> added;
    std::set<std::string> described;
    for (const auto& delta : deltas) {
        if (delta.fieldIndex(R::DSREFEATPESS) >= 0) {
            added = numbers(delta, ChangeKind::Insert);
        } else if (delta.fieldIndex(DescriptionRecord::TXATIVPESS) >= 0) {
            described = numbers(delta, ChangeKind::Insert);
        }
    }
    auto& drop = connection.statement(
        "DELETE FROM DESCATIVPESSOAL WHERE CDOPERADOR = :op AND NRATIVPESS = :nr", "tt");
    for (const auto& number : described) {
        if (!added.count(number)) {
            drop.setText(0, operatorCode);
            drop.setText(1, number);
            drop.execute();
        }
    }
}

}  // namespace lembrete
