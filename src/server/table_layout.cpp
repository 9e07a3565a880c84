#include "server/table_layout.h"

#include <algorithm>
#include <cmath>

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

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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

void checkCode(const Column& column, const std::string& text,
               std::initializer_list<std::string_view> codes, const char* meaning) {
    if (std::find(codes.begin(), codes.end(), text) == codes.end()) {
        refuse(std::string("Valor inválido em ") + column.name + ": \"" + text + "\". " + meaning);
    }
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
    return std::any_of(derivedFields.begin(), derivedFields.end(),
                       [&](const char* derived) { return utf8::equalIgnoringCase(derived, name); });
}

const TableLayout& reminderLayout() {
    static const TableLayout layout{
        "ATIVPESSOAL",
        "o lembrete",
        {
            {"CDOPERADOR", FieldType::String, 12, ColumnCheck::Operator, nullptr, true},
            {"NRATIVPESS", FieldType::String, 10, ColumnCheck::Number, nullptr, true},
            {"DSREFEATPESS", FieldType::String, 100, ColumnCheck::Text, nullptr, false},
            {"DTATIVPESS", FieldType::DateTime, 0, ColumnCheck::DateTime, nullptr, true},
            {"IDSITUATPESS", FieldType::String, 1, ColumnCheck::State, "P", true},
            {"IDALARATPESS", FieldType::String, 1, ColumnCheck::Alarm, "N", true},
            {"QTSEGUATPESS", FieldType::Float, 0, ColumnCheck::Lead, nullptr, false},
            {"IDUNITATPESS", FieldType::String, 1, ColumnCheck::Unit, nullptr, false},
            {"NRPRIOATPESS", FieldType::String, 3, ColumnCheck::Priority, nullptr, false},
            {"NRREPETATIVP", FieldType::String, 10, ColumnCheck::OptionalNumber, nullptr, false},
        },
        {"HORARIO", "DATA"},
        true,
    };
    return layout;
}

const TableLayout& descriptionLayout() {
    static const TableLayout layout{
        "DESCATIVPESSOAL",
        "a descrição do lembrete",
        {
            {"TXATIVPESS", FieldType::Blob, 0, ColumnCheck::Blob, nullptr, false},
            {"CDOPERADOR", FieldType::String, 12, ColumnCheck::Operator, nullptr, true},
            {"NRATIVPESS", FieldType::String, 10, ColumnCheck::Number, nullptr, true},
        },
        {},
        false,
    };
    return layout;
}

FieldDef columnField(const TableLayout& layout, const Column& column) {
    return {column.name, column.type, column.width,
            std::string("DBHALVARD.") + layout.table + "." + column.name};
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
        const auto& text = value.asString();
        if (utf8::length(text) > static_cast<std::size_t>(column.width)) {
            refuse(std::string("O campo ") + column.name + " aceita no máximo " +
                   std::to_string(column.width) + " caracteres.");
        }
    }
    switch (column.check) {
        case ColumnCheck::Operator:
            if (value.asString().empty()) {
                refuse(std::string("O campo ") + column.name + " é obrigatório.");
            }
            break;
        case ColumnCheck::Number:
        case ColumnCheck::OptionalNumber: {
            const auto& text = value.asString();
            if ((column.check == ColumnCheck::Number || !text.empty()) &&
                (text.empty() || !isDigits(text))) {
                refuse(std::string("Número inválido em ") + column.name + ": \"" + text +
                       "\". Use de 1 a 10 algarismos.");
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
            checkCode(column, value.asString(), {"P", "R"},
                      "Use \"P\" (pendente) ou \"R\" (realizado).");
            break;
        case ColumnCheck::Alarm:
            checkCode(column, value.asString(), {"S", "N"},
                      "Use \"S\" (ligado) ou \"N\" (desligado).");
            break;
        case ColumnCheck::Unit:
            checkCode(column, value.asString(), {"S", "M", "D", ""},
                      "Use \"S\" (minutos), \"M\" (horas), \"D\" (dias) ou vazio.");
            break;
        case ColumnCheck::Lead: {
            const double lead = value.toNumber();
            if (!std::isfinite(lead) || lead < 1 || lead > 1000) {
                refuse(std::string("Antecedência do alarme inválida em ") + column.name +
                       ": use de 1 a 1000.");
            }
            break;
        }
        case ColumnCheck::Priority: {
            const auto& text = value.asString();
            if (!isDigits(text)) {
                refuse(std::string("Prioridade inválida em ") + column.name + ": \"" + text +
                       "\". Use de 0 a 999.");
            }
            break;
        }
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
