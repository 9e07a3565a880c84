// ImportKeys: the stored origins of imported reminders (ICALATIVPESSOAL, ImportKeyRecord), and
// the one rule an import adds to the delta writer's.
#pragma once

#include <string>
#include <vector>

#include "data/data_packet.h"

namespace lembrete {

class StoreConnection;

class ImportKeys {
  public:
    // Every origin of the operator's imported reminders.
    static DataPacket read(StoreConnection& connection, const std::string& operatorCode);
    static DataPacket fields();

    // An import sends every reminder it stores again (changed or not) with a fresh description
    // (an insert), so that the client need not read the old one: inside the caller's
    // transaction, before the deltas (reminders, descriptions, origins) are written, the stored
    // descriptions of the reminders the descriptions delta inserts and the reminders delta does
    // not add are deleted. Only the session operator's rows reach here (checked).
    static void dropReplacedDescriptions(StoreConnection& connection,
                                         const std::string& operatorCode,
                                         const std::vector<DataPacket>& deltas);
};

}  // namespace lembrete
