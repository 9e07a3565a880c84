#include "data/reminder_record.h"

#include <algorithm>
#include <string>

namespace lembrete {
namespace {

using R = ReminderRecord;

FieldLayout column(std::string_view name, FieldType type, int size, bool stored,
                   std::string label = {}, Alignment alignment = Alignment::Left,
                   bool visible = false) {
    return FieldLayout{FieldDef{std::string(name), type, size, stored ? R::origin(name) : ""},
                       std::move(label), alignment, visible};
}

FieldLayout dateOnly(FieldLayout layout) {
    layout.display = DisplayFormat::DateOnly;
    return layout;
}

}  // namespace

std::string ReminderRecord::origin(std::string_view column) {
    return std::string(kSchema) + "." + std::string(kTable) + "." + std::string(column);
}

const std::vector<FieldLayout>& ReminderRecord::layout() {
    // HORARIO and DATA are computed by the server from DTATIVPESS and never stored; the
    // priority and the repetition number are stored so that they survive a reload.
    static const std::vector<FieldLayout> fields{
        column(CDOPERADOR, FieldType::String, kOperatorWidth, true),
        column(NRATIVPESS, FieldType::String, kNumberWidth, true),
        column(DSREFEATPESS, FieldType::String, kReferenceWidth, true, "Referência",
               Alignment::Left, true),
        // The list shows the time in its own column (HORARIO): "Data" is the date alone.
        dateOnly(column(DTATIVPESS, FieldType::DateTime, 0, true, "Data", Alignment::Left, true)),
        column(IDSITUATPESS, FieldType::String, 1, true, {}, Alignment::Left, true),
        column(IDALARATPESS, FieldType::String, 1, true),
        column(QTSEGUATPESS, FieldType::Float, 0, true),
        column(IDUNITATPESS, FieldType::String, 1, true),
        column(HORARIO, FieldType::String, 8, false, "Horário", Alignment::Left, true),
        column(NRPRIOATPESS, FieldType::String, kPriorityWidth, true, "Prioridade",
               Alignment::Right, true),
        column(DATA, FieldType::String, 10, false),
        column(NRREPETATIVP, FieldType::String, kNumberWidth, true),
    };
    return fields;
}

std::vector<FieldDef> ReminderRecord::fields() {
    return fieldDefs(layout());
}

bool ReminderRecord::isUnit(std::string_view code) {
    return code == kUnitMinutes || code == kUnitHours || code == kUnitDays || code == kUnitAtEvent;
}

std::string ReminderRecord::operatorCode(std::string_view typed) {
    std::string code(typed);
    for (char& c : code) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return code;
}

bool ReminderRecord::isPriority(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return false;
    }
    return isStoredPriority(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool ReminderRecord::isStoredPriority(std::string_view text) {
    return !text.empty() && text.size() <= static_cast<std::size_t>(kPriorityWidth) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const std::vector<FieldLayout>& DescriptionRecord::layout() {
    static const std::vector<FieldLayout> fields{
        FieldLayout{
            FieldDef{std::string(TXATIVPESS), FieldType::Blob, 0, ""}, {}, Alignment::Left, true},
        FieldLayout{FieldDef{std::string(R::CDOPERADOR), FieldType::String, R::kOperatorWidth, ""},
                    {},
                    Alignment::Left,
                    false},
        FieldLayout{FieldDef{std::string(R::NRATIVPESS), FieldType::String, R::kNumberWidth, ""},
                    {},
                    Alignment::Left,
                    false},
    };
    return fields;
}

std::vector<FieldDef> DescriptionRecord::fields() {
    return fieldDefs(layout());
}

const std::vector<FieldLayout>& MarkedDateRecord::layout() {
    static const std::vector<FieldLayout> fields{
        column(R::DTATIVPESS, FieldType::DateTime, 0, true, {}, Alignment::Left, true),
    };
    return fields;
}

std::vector<FieldDef> MarkedDateRecord::fields() {
    return fieldDefs(layout());
}

}  // namespace lembrete
