#include "data/import_key_record.h"

#include <algorithm>

#include "data/reminder_record.h"

namespace lembrete {

const std::vector<FieldLayout>& ImportKeyRecord::layout() {
    using R = ReminderRecord;
    const auto field = [](std::string_view name, int size) {
        return FieldLayout{
            FieldDef{std::string(name), FieldType::String, size, ""}, {}, Alignment::Left, false};
    };
    static const std::vector<FieldLayout> fields{
        field(R::CDOPERADOR, R::kOperatorWidth),
        field(R::NRATIVPESS, R::kNumberWidth),
        field(DSCHAVEICAL, kKeyWidth),
    };
    return fields;
}

std::vector<FieldDef> ImportKeyRecord::fields() {
    return fieldDefs(layout());
}

std::string ImportKeyRecord::key(std::string_view uid, std::string_view occurrence) {
    return occurrence.empty() ? std::string(uid) : std::string(uid) + " " + std::string(occurrence);
}

ImportKeyRecord::Origin ImportKeyRecord::origin(std::string_view key) {
    const auto space = key.rfind(' ');
    if (space == std::string_view::npos) {
        return {std::string(key), {}};
    }
    const std::string_view last = key.substr(space + 1);
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    std::string_view time = last.ends_with('Z') ? last.substr(0, last.size() - 1) : last;
    const bool isDate = time.size() == 8 && digits(time) && time == last;
    const bool isDateTime =
        time.size() == 15 && time[8] == 'T' && digits(time.substr(0, 8)) && digits(time.substr(9));
    if (!isDate && !isDateTime) {
        return {std::string(key), {}};
    }
    return {std::string(key.substr(0, space)), std::string(last)};
}

}  // namespace lembrete
