#include "net/json_codec.h"

#include <cmath>

#include "net/base64.h"
#include "net/wire_format_error.h"

namespace lembrete::json_codec {
namespace {

[[noreturn]] void fail(const std::string& what) {
    throw WireFormatError("Pacote de dados inválido: " + what + ".");
}

Json encodeRow(const Row& row, const std::vector<FieldDef>& fields) {
    Json values = Json::array();
    for (std::size_t i = 0; i < row.size(); ++i) {
        values.push_back(
            encodeValue(row[i], i < fields.size() ? fields[i].type : FieldType::String));
    }
    return values;
}

Row decodeRow(const Json& json, const std::vector<FieldDef>& fields) {
    if (!json.is_array() || json.size() != fields.size()) {
        fail("cada linha deve ser uma lista com " + std::to_string(fields.size()) + " valores");
    }
    Row row;
    row.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        try {
            row.push_back(decodeValue(json[i], fields[i].type));
        } catch (const WireFormatError& error) {
            fail("campo " + fields[i].name + ": " + error.what());
        }
    }
    return row;
}

FieldDef decodeField(const Json& json) {
    if (!json.is_object()) {
        fail("definição de campo não é um objeto");
    }
    const auto name = json.find("name");
    const auto type = json.find("type");
    if (name == json.end() || !name->is_string() || name->get_ref<const std::string&>().empty()) {
        fail("campo sem nome");
    }
    FieldDef field;
    field.name = name->get<std::string>();
    const auto fieldType = type != json.end() && type->is_string()
                               ? fieldTypeFromName(type->get_ref<const std::string&>())
                               : std::nullopt;
    if (!fieldType) {
        fail("tipo desconhecido no campo " + field.name);
    }
    field.type = *fieldType;
    if (const auto size = json.find("size"); size != json.end()) {
        if (!size->is_number_integer() || size->get<std::int64_t>() < 0 ||
            size->get<std::int64_t>() > 1 << 30) {
            fail("tamanho inválido no campo " + field.name);
        }
        field.size = size->get<int>();
    }
    if (const auto origin = json.find("origin"); origin != json.end()) {
        if (!origin->is_string()) {
            fail("origem inválida no campo " + field.name);
        }
        field.origin = origin->get<std::string>();
    }
    return field;
}

Json encodeChange(const Change& change, const std::vector<FieldDef>& fields) {
    Json json = Json::object();
    json["kind"] = changeKindName(change.kind);
    if (change.kind != ChangeKind::Insert) {
        json["old"] = encodeRow(change.oldValues, fields);
    }
    if (change.kind != ChangeKind::Delete) {
        json["new"] = encodeRow(change.newValues, fields);
    }
    return json;
}

Change decodeChange(const Json& json, const std::vector<FieldDef>& fields) {
    if (!json.is_object()) {
        fail("alteração não é um objeto");
    }
    const auto kind = json.find("kind");
    const std::string kindName =
        kind != json.end() && kind->is_string() ? kind->get<std::string>() : "";
    Change change;
    if (kindName == "insert") {
        change.kind = ChangeKind::Insert;
    } else if (kindName == "update") {
        change.kind = ChangeKind::Update;
    } else if (kindName == "delete") {
        change.kind = ChangeKind::Delete;
    } else {
        fail("tipo de alteração desconhecido");
    }
    const auto oldRow = json.find("old");
    const auto newRow = json.find("new");
    const bool needsOld = change.kind != ChangeKind::Insert;
    const bool needsNew = change.kind != ChangeKind::Delete;
    if ((oldRow != json.end()) != needsOld || (newRow != json.end()) != needsNew) {
        fail("alteração \"" + kindName + "\" com linhas antigas ou novas faltando ou sobrando");
    }
    if (needsOld) {
        change.oldValues = decodeRow(*oldRow, fields);
    }
    if (needsNew) {
        change.newValues = decodeRow(*newRow, fields);
    }
    return change;
}

bool digitsAt(std::string_view text, std::initializer_list<std::size_t> positions) {
    for (const auto position : positions) {
        if (position >= text.size() || text[position] < '0' || text[position] > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<DateTime> parseIsoDateTime(std::string_view text) {
    // DateTime::parse also reads the dd/mm/yyyy form people type; the wire allows only ISO.
    if (!digitsAt(text, {0, 1, 2, 3, 5, 6, 8, 9}) || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    return DateTime::parse(text);
}

Json encodeValue(const Variant& value, FieldType type) {
    if (value.isNull()) {
        return nullptr;
    }
    switch (type) {
        case FieldType::String:
            return value.toText();
        case FieldType::Integer:
            return value.kind() == VariantKind::Integer
                       ? value.asInteger()
                       : static_cast<std::int64_t>(value.toNumber());
        case FieldType::Float:
            return value.toNumber();
        case FieldType::Boolean:
            return value.asBoolean();
        case FieldType::DateTime:
            return value.asDateTime().iso();
        case FieldType::Blob:
            return base64::encode(value.kind() == VariantKind::Blob ? value.asBlob().bytes
                                                                    : value.toText());
    }
    return nullptr;
}

Variant decodeValue(const Json& json, FieldType type) {
    if (json.is_null()) {
        return Variant();
    }
    switch (type) {
        case FieldType::String:
            if (json.is_string()) {
                return Variant(json.get<std::string>());
            }
            break;
        case FieldType::Integer:
            if (json.is_number_integer()) {
                return Variant(json.get<std::int64_t>());
            }
            break;
        case FieldType::Float:
            if (json.is_number()) {
                return Variant(json.get<double>());
            }
            break;
        case FieldType::Boolean:
            if (json.is_boolean()) {
                return Variant(json.get<bool>());
            }
            break;
        case FieldType::DateTime:
            if (json.is_string()) {
                if (const auto when = parseIsoDateTime(json.get_ref<const std::string&>())) {
                    return Variant(*when);
                }
                throw WireFormatError("data e hora fora do formato aaaa-mm-ddTHH:MM:SS");
            }
            break;
        case FieldType::Blob:
            if (json.is_string()) {
                if (auto bytes = base64::decode(json.get_ref<const std::string&>())) {
                    return Variant(Blob{std::move(*bytes)});
                }
                throw WireFormatError("conteúdo binário fora do formato base64");
            }
            break;
    }
    throw WireFormatError(std::string("valor não é do tipo ") + fieldTypeName(type));
}

Json encodePacket(const DataPacket& packet) {
    Json fields = Json::array();
    for (const auto& field : packet.fields) {
        fields.push_back(Json{{"name", field.name},
                              {"type", fieldTypeName(field.type)},
                              {"size", field.size},
                              {"origin", field.origin}});
    }
    Json json = Json::object();
    json["fields"] = std::move(fields);
    if (!packet.rows.empty() || packet.changes.empty()) {
        Json rows = Json::array();
        for (const auto& row : packet.rows) {
            rows.push_back(encodeRow(row, packet.fields));
        }
        json["rows"] = std::move(rows);
    }
    if (!packet.changes.empty()) {
        Json changes = Json::array();
        for (const auto& change : packet.changes) {
            changes.push_back(encodeChange(change, packet.fields));
        }
        json["changes"] = std::move(changes);
    }
    return json;
}

DataPacket decodePacket(const Json& json) {
    if (!json.is_object()) {
        fail("esperado um objeto");
    }
    const auto fields = json.find("fields");
    if (fields == json.end() || !fields->is_array()) {
        fail("falta a lista \"fields\"");
    }
    DataPacket packet;
    for (const auto& field : *fields) {
        packet.fields.push_back(decodeField(field));
    }
    if (const auto rows = json.find("rows"); rows != json.end()) {
        if (!rows->is_array()) {
            fail("\"rows\" não é uma lista");
        }
        packet.rows.reserve(rows->size());
        for (const auto& row : *rows) {
            packet.rows.push_back(decodeRow(row, packet.fields));
        }
    }
    if (const auto changes = json.find("changes"); changes != json.end()) {
        if (!changes->is_array()) {
            fail("\"changes\" não é uma lista");
        }
        packet.changes.reserve(changes->size());
        for (const auto& change : *changes) {
            packet.changes.push_back(decodeChange(change, packet.fields));
        }
    }
    return packet;
}

Json encodeVariant(const Variant& value) {
    switch (value.kind()) {
        case VariantKind::Null:
            return nullptr;
        case VariantKind::String:
            return value.asString();
        case VariantKind::Integer:
            return value.asInteger();
        case VariantKind::Float:
            return value.asFloat();
        case VariantKind::Boolean:
            return value.asBoolean();
        case VariantKind::DateTime:
            return value.asDateTime().iso();
        case VariantKind::Blob:
            return base64::encode(value.asBlob().bytes);
        case VariantKind::Packet:
            return encodePacket(value.asPacket());
    }
    return nullptr;
}

Variant decodeVariant(const Json& json) {
    switch (json.type()) {
        case Json::value_t::null:
            return Variant();
        case Json::value_t::string:
            return Variant(json.get<std::string>());
        case Json::value_t::boolean:
            return Variant(json.get<bool>());
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
            return Variant(json.get<std::int64_t>());
        case Json::value_t::number_float:
            return Variant(json.get<double>());
        case Json::value_t::object:
            return Variant(decodePacket(json));
        default:
            throw WireFormatError("Valor inválido: listas soltas não são aceitas.");
    }
}

}  // namespace lembrete::json_codec
