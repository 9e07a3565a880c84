#include "data/series_record.h"

#include <algorithm>
#include <string>

#include "data/reminder_record.h"

namespace lembrete {
namespace {

FieldLayout field(std::string_view name, FieldType type, int size) {
    return FieldLayout{FieldDef{std::string(name), type, size, ""}, {}, Alignment::Left, false};
}

}  // namespace

const std::vector<FieldLayout>& SeriesRecord::layout() {
    using R = ReminderRecord;
    static const std::vector<FieldLayout> fields{
        field(R::CDOPERADOR, FieldType::String, R::kOperatorWidth),
        field(R::NRREPETATIVP, FieldType::String, R::kNumberWidth),
        field(IDTIPOREPET, FieldType::String, 1),
        field(NRINTERREPET, FieldType::String, kIntervalWidth),
        field(IDDIASREPET, FieldType::String, kWeekdaysWidth),
        field(IDMODOMENSAL, FieldType::String, 1),
        field(DTINICREPET, FieldType::DateTime, 0),
        field(DTTERMREPET, FieldType::DateTime, 0),
    };
    return fields;
}

std::vector<FieldDef> SeriesRecord::fields() {
    return fieldDefs(layout());
}

bool SeriesRecord::isKind(std::string_view code) {
    return code == "D" || code == "S" || code == "M" || code == "A";
}

bool SeriesRecord::isInterval(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(kIntervalWidth) ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    return std::stoi(std::string(text)) >= 1;
}

bool SeriesRecord::isWeekdays(std::string_view text) {
    return text.size() == static_cast<std::size_t>(kWeekdaysWidth) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == 'S' || c == 'N'; });
}

}  // namespace lembrete
