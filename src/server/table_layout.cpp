#include "server/table_layout.h"

#include <algorithm>
#include <stdexcept>

#include "data/import_key_record.h"
#include "data/reminder_record.h"
#include "data/series_record.h"
#include "data/supported_dates.h"
#include "data/utf8.h"
#include "net/base64.h"
#include "net/rpc_error_codes.h"
#include "server/rpc_failure.h"

namespace lembrete {
namespace {

[[noreturn]] void refuse(const std::string& message) {
    throw RpcFailure(rpc_error::InvalidValue, message);
}

// Issued numbers are written one way only: digits without leading zeros, from 1 up.
bool isCanonicalNumber(std::string_view text) {
    return !text.empty() && text.front() != '0' &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const char* typeCaption(FieldType type) {
    switch (type) {
        case FieldType::String:
            return "texto";
        case FieldType::Integer:
        case FieldType::Float:
            return "número";
        case FieldType::Boolean:
            return "lógico";
        case FieldType::DateTime:
            return "data e hora";
        case FieldType::Blob:
            return "binário";
    }
    return "";
}

void checkKind(const Column& column, const Variant& value) {
    const auto kind = value.kind();
    const bool ok = column.type == FieldType::String     ? kind == VariantKind::String
                    : column.type == FieldType::DateTime ? kind == VariantKind::DateTime
                    : column.type == FieldType::Float
                        ? kind == VariantKind::Float || kind == VariantKind::Integer
                    : column.type == FieldType::Blob ? kind == VariantKind::Blob
                                                     : false;
    if (!ok) {
        refuse(std::string("O campo ") + column.name + " deve ser do tipo " +
               typeCaption(column.type) + ".");
    }
}

void checkCode(const Column& column, const Variant& value, bool (*valid)(std::string_view),
               const char* meaning) {
    const auto text = value.asStringView();
    if (!valid(text)) {
        refuse(std::string("Valor inválido em ") + column.name + ": \"" + std::string(text) +
               "\". " + meaning);
    }
}

// What only the server decides about a stored field of a record.
struct ColumnRule {
    std::string_view name;
    ColumnCheck check;
    const char* insertDefault;
    bool required;
};

// The stored columns of `record`, in its order, with name, type and width from the record and
// the rest from `rules`. Every field of the record must be stored or derived, and every rule
// must name a field of the record.
std::vector<Column> columnsOf(const std::vector<FieldLayout>& record,
                              const std::vector<ColumnRule>& rules,
                              const std::vector<std::string_view>& derived) {
    std::vector<Column> columns;
    for (const auto& field : record) {
        const auto& def = field.def;
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [&](const ColumnRule& r) { return r.name == def.name; });
        if (rule != rules.end()) {
            columns.push_back(
                {def.name, def.type, def.size, rule->check, rule->insertDefault, rule->required});
        } else if (std::find(derived.begin(), derived.end(), def.name) == derived.end()) {
            throw std::logic_error("campo sem coluna nem derivação: " + def.name);
        }
    }
    if (columns.size() != rules.size()) {
        throw std::logic_error("regra de coluna sem campo no registro");
    }
    return columns;
}

}  // namespace

const Column* TableLayout::find(std::string_view name) const {
    for (const auto& column : columns) {
        if (utf8::equalIgnoringCase(column.name, name)) {
            return &column;
        }
    }
    return nullptr;
}

bool TableLayout::isDerived(std::string_view name) const {
    return std::any_of(derivedFields.begin(), derivedFields.end(), [&](std::string_view derived) {
        return utf8::equalIgnoringCase(derived, name);
    });
}

std::vector<FieldDef> TableLayout::packetFields() const {
    std::vector<FieldDef> fields;
    for (const auto& field : *record) {
        const Column* column = find(field.def.name);
        fields.push_back(column ? columnField(*this, *column) : field.def);
    }
    return fields;
}

const TableLayout& reminderLayout() {
    using R = ReminderRecord;
    static const std::vector<std::string_view> derived{R::HORARIO, R::DATA};
    static const TableLayout layout{
        "ATIVPESSOAL",
        "o lembrete",
        &R::layout(),
        columnsOf(R::layout(),
                  {
                      {R::CDOPERADOR, ColumnCheck::Operator, nullptr, true},
                      {R::NRATIVPESS, ColumnCheck::Number, nullptr, true},
                      {R::DSREFEATPESS, ColumnCheck::Text, nullptr, false},
                      {R::DTATIVPESS, ColumnCheck::DateTime, nullptr, true},
                      {R::IDSITUATPESS, ColumnCheck::State, R::kPending.data(), true},
                      {R::IDALARATPESS, ColumnCheck::Alarm, R::kAlarmOff.data(), true},
                      {R::QTSEGUATPESS, ColumnCheck::Lead, nullptr, false},
                      {R::IDUNITATPESS, ColumnCheck::Unit, nullptr, false},
                      {R::NRPRIOATPESS, ColumnCheck::Priority, nullptr, false},
                      {R::NRREPETATIVP, ColumnCheck::OptionalNumber, nullptr, false},
                  },
                  derived),
        derived,
        true,
        R::NRATIVPESS,
        SequenceKind::Reminder,
    };
    return layout;
}

const TableLayout& descriptionLayout() {
    using R = ReminderRecord;
    static const TableLayout layout{
        "DESCATIVPESSOAL",
        "a descrição do lembrete",
        &DescriptionRecord::layout(),
        columnsOf(DescriptionRecord::layout(),
                  {
                      {DescriptionRecord::TXATIVPESS, ColumnCheck::Blob, nullptr, false},
                      {R::CDOPERADOR, ColumnCheck::Operator, nullptr, true},
                      {R::NRATIVPESS, ColumnCheck::Number, nullptr, true},
                  },
                  {}),
        {},
        false,
        R::NRATIVPESS,
        SequenceKind::Reminder,
    };
    return layout;
}

const TableLayout& seriesLayout() {
    using R = ReminderRecord;
    using S = SeriesRecord;
    static const TableLayout layout{
        "SERIEATIVPESSOAL",
        "a regra da série",
        &S::layout(),
        columnsOf(S::layout(),
                  {
                      {R::CDOPERADOR, ColumnCheck::Operator, nullptr, true},
                      {R::NRREPETATIVP, ColumnCheck::Number, nullptr, true},
                      {S::IDTIPOREPET, ColumnCheck::SeriesKind, nullptr, true},
                      {S::NRINTERREPET, ColumnCheck::Interval, nullptr, true},
                      {S::IDDIASREPET, ColumnCheck::Weekdays, "NNNNNNN", true},
                      {S::IDMODOMENSAL, ColumnCheck::MonthlyMode, "1", true},
                      {S::DTINICREPET, ColumnCheck::DateTime, nullptr, true},
                      {S::DTTERMREPET, ColumnCheck::DateTime, nullptr, false},
                  },
                  {}),
        {},
        false,
        R::NRREPETATIVP,
        SequenceKind::Repetition,
    };
    return layout;
}

const TableLayout& importKeyLayout() {
    using R = ReminderRecord;
    using K = ImportKeyRecord;
    static const TableLayout layout{
        "ICALATIVPESSOAL",
        "a origem do lembrete importado",
        &K::layout(),
        columnsOf(K::layout(),
                  {
                      {R::CDOPERADOR, ColumnCheck::Operator, nullptr, true},
                      {R::NRATIVPESS, ColumnCheck::Number, nullptr, true},
                      {K::DSCHAVEICAL, ColumnCheck::Text, nullptr, true},
                  },
                  {}),
        {},
        false,
        R::NRATIVPESS,
        SequenceKind::Reminder,
    };
    return layout;
}

FieldDef columnField(const TableLayout& layout, const Column& column) {
    return {column.name, column.type, column.width,
            std::string(ReminderRecord::kSchema) + "." + layout.table + "." + column.name};
}

void checkValue(const Column& column, const Variant& value) {
    if (value.isNull()) {
        if (column.required) {
            refuse(std::string("O campo ") + column.name + " é obrigatório.");
        }
        return;
    }
    checkKind(column, value);
    if (column.type == FieldType::String) {
        if (utf8::length(value.asStringView()) > static_cast<std::size_t>(column.width)) {
            refuse(std::string("O campo ") + column.name + " aceita no máximo " +
                   std::to_string(column.width) + " caracteres.");
        }
    }
    switch (column.check) {
        case ColumnCheck::Operator:
            if (value.asStringView().empty()) {
                refuse(std::string("O campo ") + column.name + " é obrigatório.");
            }
            break;
        case ColumnCheck::Number:
        case ColumnCheck::OptionalNumber: {
            const auto text = value.asStringView();
            if ((column.check == ColumnCheck::Number || !text.empty()) &&
                !isCanonicalNumber(text)) {
                refuse(std::string("Número inválido em ") + column.name + ": \"" +
                       std::string(text) + "\". Use de 1 a " + std::to_string(column.width) +
                       " algarismos, sem zeros à esquerda.");
            }
            break;
        }
        case ColumnCheck::Text:
        case ColumnCheck::Blob:
            break;
        case ColumnCheck::DateTime: {
            const auto day = value.asDateTime().date();
            if (day < kFirstSupportedDate || day > kLastSupportedDate) {
                refuse(std::string("Data fora do intervalo aceito em ") + column.name +
                       ": use de " + kFirstSupportedDate.format() + " a " +
                       kLastSupportedDate.format() + ".");
            }
            break;
        }
        case ColumnCheck::State:
            checkCode(column, value, ReminderRecord::isState,
                      "Use \"P\" (pendente) ou \"R\" (realizado).");
            break;
        case ColumnCheck::Alarm:
            checkCode(column, value, ReminderRecord::isAlarm,
                      "Use \"S\" (ligado) ou \"N\" (desligado).");
            break;
        case ColumnCheck::Unit:
            checkCode(column, value, ReminderRecord::isUnit,
                      "Use \"S\" (minutos), \"M\" (horas), \"D\" (dias) ou vazio.");
            break;
        case ColumnCheck::Lead:
            if (!ReminderRecord::isLead(value.toNumber())) {
                refuse(std::string("Antecedência do alarme inválida em ") + column.name +
                       ": use um número inteiro de " + std::to_string(ReminderRecord::kMinLead) +
                       " a " + std::to_string(ReminderRecord::kMaxLead) + ".");
            }
            break;
        case ColumnCheck::Priority: {
            const auto text = value.asStringView();
            if (!ReminderRecord::isStoredPriority(text)) {
                refuse(std::string("Prioridade inválida em ") + column.name + ": \"" +
                       std::string(text) + "\". Use de " +
                       std::to_string(ReminderRecord::kMinPriority) + " a " +
                       std::to_string(ReminderRecord::kMaxPriority) + ".");
            }
            break;
        }
        case ColumnCheck::SeriesKind:
            checkCode(column, value, SeriesRecord::isKind,
                      "Use \"D\" (diário), \"S\" (semanal), \"M\" (mensal) ou \"A\" (anual).");
            break;
        case ColumnCheck::Interval:
            checkCode(column, value, SeriesRecord::isInterval, "Use um intervalo de 1 a 99.");
            break;
        case ColumnCheck::Weekdays:
            checkCode(column, value, SeriesRecord::isWeekdays,
                      "Use sete indicadores \"S\" ou \"N\", de domingo a sábado.");
            break;
        case ColumnCheck::MonthlyMode:
            checkCode(column, value, SeriesRecord::isMonthlyMode,
                      "Use \"1\" (por data) ou \"2\" (por dia da semana).");
            break;
    }
}

SqlValue toSqlValue(const Column& column, const Variant& value) {
    if (value.isNull()) {
        return {};
    }
    switch (column.type) {
        case FieldType::DateTime:
            return {value.asDateTime().iso(), std::nullopt};
        case FieldType::Float:
            return {std::nullopt, value.toNumber()};
        case FieldType::Blob:
            return {base64::encode(value.asBlob().bytes), std::nullopt};
        default:
            return {value.asString(), std::nullopt};
    }
}

}  // namespace lembrete
