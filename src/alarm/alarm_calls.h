// The names of the server's alarm calls and of the alarm packet's own field; the wire contract
// (arguments, results, what the server keeps) is net/alarm_contract.h.
#pragma once

namespace lembrete::alarm_contract {

inline constexpr const char* kGetAlarms = "GetAlarmesAFazer";
inline constexpr const char* kSetAlarm = "SetAlarmeAFazer";
inline constexpr const char* kGetChangeCount = "GetNrAlteracaoAFazer";

// The one field of the alarm packet that is not a reminder column.
inline constexpr const char* kAlarmTimeField = "DTALARME";

}  // namespace lembrete::alarm_contract
