// AlarmQueries: the alarm time kept with every reminder (ATIVPESSOAL.DTALARMEATPESS) and the
// reads and writes of the alarm calls (net/alarm_contract.h).
//
// The column holds, as ISO text, when the reminder next rings: its due time (alarm/alarm_time.h),
// or where a snooze ends; null once dismissed or when it does not ring. The delta writer sets it
// on insert and asks rearm() after an update that touched the fields it follows from; a
// partial index (CDOPERADOR, DTALARMEATPESS) over the rows that ring serves the due-alarm read.
// Every call is scoped to one operator; the caller has checked that it is the session's.
#pragma once

#include <optional>
#include <string>

#include "alarm/alarm_time.h"
#include "data/data_packet.h"

namespace lembrete {

class StoreConnection;

class AlarmQueries {
  public:
    static constexpr const char* kColumn = "DTALARMEATPESS";

    // The stored form of the alarm time of `fields`: ISO text, or null when it does not ring.
    static std::optional<std::string> storedDueTime(const AlarmFields& fields);

    // The packet of GetAlarmesAFazer.
    static DataPacket due(StoreConnection& connection, const std::string& operatorCode,
                          const DateTime& until);
    static DataPacket dueFields();

    // Snoozes until `snoozeUntil`, or dismisses when null. Returns 1 when changed, 0 when the
    // reminder no longer rings; throws RpcFailure(InvalidValue) when it does not exist.
    static int snooze(StoreConnection& connection, const std::string& operatorCode,
                      const std::string& number, const std::optional<DateTime>& snoozeUntil);

    // Computes the alarm time of one reminder again from its stored fields (an edit arms it).
    static void rearm(StoreConnection& connection, const std::string& operatorCode,
                      const std::string& number);

    // Computes the alarm time of every reminder that rings, in the caller's transaction: the
    // schema step that brings the column to a database made before it.
    static void armAll(StoreConnection& connection);
};

}  // namespace lembrete
