// The UIDs a stored reminder is exported with: "lembrete-OPERATOR-NUMBER", the same every time,
// and "lembrete-OPERATOR-serie-NUMBER" naming its series in RELATED-TO. An operator's own file
// imported again finds its reminders by them, so it updates them instead of adding copies.
#pragma once

#include <string>
#include <string_view>

namespace lembrete::reminder_uid {

std::string ofReminder(std::string_view operatorCode, std::string_view number);
std::string ofSeries(std::string_view operatorCode, std::string_view seriesNumber);
// The number of `operatorCode`'s reminder that `uid` names; empty when it names none of its.
std::string ownNumber(std::string_view uid, std::string_view operatorCode);

}  // namespace lembrete::reminder_uid
