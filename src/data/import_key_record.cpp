#include "data/import_key_record.h"

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

}  // namespace lembrete
