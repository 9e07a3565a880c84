#include "interchange/reminder_uid.h"

#include <algorithm>

namespace lembrete::reminder_uid {
namespace {

std::string prefix(std::string_view operatorCode) {
    return "lembrete-" + std::string(operatorCode) + "-";
}

}  // namespace

std::string ofReminder(std::string_view operatorCode, std::string_view number) {
    return prefix(operatorCode) + std::string(number);
}

std::string ofSeries(std::string_view operatorCode, std::string_view seriesNumber) {
    return prefix(operatorCode) + "serie-" + std::string(seriesNumber);
}

std::string ownNumber(std::string_view uid, std::string_view operatorCode) {
    const std::string start = prefix(operatorCode);
    if (!uid.starts_with(start)) {
        return {};
    }
    const std::string_view number = uid.substr(start.size());
    const bool digits = !number.empty() && std::all_of(number.begin(), number.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    return digits ? std::string(number) : std::string();
}

}  // namespace lembrete::reminder_uid
