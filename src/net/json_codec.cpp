#include "net/json_codec.h"

#include <charconv>
#include <cmath>

#include "data/utf8.h"
#include "net/base64.h"
#include "net/wire_format_error.h"

namespace lembrete::json_codec {
namespace {

[[noreturn]] void fail(const std::string& what) {
    throw WireFormatError("Pacote de dados inválido: " + what + ".");
}

// The encoder writes JSON text directly: building a document first costs more than the rest
// of a call for packets of a few hundred rows. The text is what nlohmann's dump() gives.
class Writer {
  public:
    explicit Writer(std::string& out) : out_(out) {}

    void text(std::string_view value) {
        out_.push_back('"');
        std::size_t i = 0;
        while (i < value.size()) {
            // Plain characters go out in runs; only escapes and multi-byte ones are looked at.
            std::size_t run = i;
            while (run < value.size() && isPlain(static_cast<unsigned char>(value[run]))) {
                ++run;
            }
            out_.append(value.substr(i, run - i));
            i = run;
            if (i == value.size()) {
                break;
            }
            const auto c = static_cast<unsigned char>(value[i]);
            if (c >= 0x80) {
                const std::size_t length = utf8::sequenceLength(value, i);
                if (length == 0) {
                    throw WireFormatError("Texto com codificação UTF-8 inválida.");
                }
                out_.append(value.substr(i, length));
                i += length;
            } else {
                escape(static_cast<char>(c));
                ++i;
            }
        }
        out_.push_back('"');
    }

    void integer(std::int64_t value) {
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        out_.append(buffer, end);
    }

    void number(double value) {
        if (!std::isfinite(value)) {
            out_ += "null";
            return;
        }
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        const std::string_view digits(buffer, end - buffer);
        out_.append(digits);
        if (digits.find_first_of(".e") == std::string_view::npos) {
            out_ += ".0";  // stays a float when read back
        }
    }

    void value(const Variant& value, FieldType type) {
        if (value.isNull()) {
            out_ += "null";
            return;
        }
        switch (type) {
            case FieldType::String:
                return text(value.toText());
            case FieldType::Integer:
                return integer(value.kind() == VariantKind::Integer
                                   ? value.asInteger()
                                   : static_cast<std::int64_t>(value.toNumber()));
            case FieldType::Float:
                return number(value.toNumber());
            case FieldType::Boolean:
                out_ += value.asBoolean() ? "true" : "false";
                return;
            case FieldType::DateTime:
                return dateTime(value.asDateTime());
            case FieldType::Blob:
                return text(base64::encode(value.kind() == VariantKind::Blob ? value.asBlob().bytes
                                                                             : value.toText()));
        }
    }

    // An ISO date-time has nothing to escape.
    void dateTime(const DateTime& when) {
        out_.push_back('"');
        out_ += when.iso();
        out_.push_back('"');
    }

    void row(const Row& row, const std::vector<FieldDef>& fields) {
        out_.push_back('[');
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) {
                out_.push_back(',');
            }
            value(row[i], i < fields.size() ? fields[i].type : FieldType::String);
        }
        out_.push_back(']');
    }

    // `{"fields":[...]`: the opening of a packet, up to its rows.
    void fields(const std::vector<FieldDef>& fields) {
        out_ += "{\"fields\":[";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const auto& field = fields[i];
            out_ += i > 0 ? ",{\"name\":" : "{\"name\":";
            text(field.name);
            out_ += ",\"type\":\"";
            out_ += fieldTypeName(field.type);
            out_ += "\",\"size\":";
            integer(field.size);
            out_ += ",\"origin\":";
            text(field.origin);
            out_.push_back('}');
        }
        out_.push_back(']');
    }

    void packet(const DataPacket& packet) {
        fields(packet.fields);
        if (!packet.rows.empty() || packet.changes.empty()) {
            out_ += ",\"rows\":[";
            for (std::size_t i = 0; i < packet.rows.size(); ++i) {
                if (i > 0) {
                    out_.push_back(',');
                }
                row(packet.rows[i], packet.fields);
            }
            out_.push_back(']');
        }
        if (!packet.changes.empty()) {
            out_ += ",\"changes\":[";
            for (std::size_t i = 0; i < packet.changes.size(); ++i) {
                const auto& change = packet.changes[i];
                out_ += i > 0 ? ",{\"kind\":\"" : "{\"kind\":\"";
                out_ += changeKindName(change.kind);
                out_.push_back('"');
                if (change.kind != ChangeKind::Insert) {
                    out_ += ",\"old\":";
                    row(change.oldValues, packet.fields);
                }
                if (change.kind != ChangeKind::Delete) {
                    out_ += ",\"new\":";
                    row(change.newValues, packet.fields);
                }
                out_.push_back('}');
            }
            out_.push_back(']');
        }
        out_.push_back('}');
    }

    void variant(const Variant& value) {
        switch (value.kind()) {
            case VariantKind::Null:
                out_ += "null";
                return;
            case VariantKind::String:
                return text(value.asStringView());
            case VariantKind::Integer:
                return integer(value.asInteger());
            case VariantKind::Float:
                return number(value.asFloat());
            case VariantKind::Boolean:
                out_ += value.asBoolean() ? "true" : "false";
                return;
            case VariantKind::DateTime:
                return dateTime(value.asDateTime());
            case VariantKind::Blob:
                return text(base64::encode(value.asBlob().bytes));
            case VariantKind::Packet:
                return packet(value.asPacket());
        }
    }

  private:
    static bool isPlain(unsigned char c) { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }

    void escape(char c) {
        switch (c) {
            case '"':
                out_ += "\\\"";
                return;
            case '\\':
                out_ += "\\\\";
                return;
            case '\b':
                out_ += "\\b";
                return;
            case '\f':
                out_ += "\\f";
                return;
            case '\n':
                out_ += "\\n";
                return;
            case '\r':
                out_ += "\\r";
                return;
            case '\t':
                out_ += "\\t";
                return;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    constexpr char hex[] = "0123456789abcdef";
                    out_ += "\\u00";
                    out_.push_back(hex[(c >> 4) & 0xF]);
                    out_.push_back(hex[c & 0xF]);
                } else {
                    out_.push_back(c);
                }
        }
    }

    std::string& out_;
};

[[noreturn]] void failType(FieldType type) {
    throw WireFormatError(std::string("valor não é do tipo ") + fieldTypeName(type));
}

// `decode()`, its failure told with the field's name.
template <typename Decode>
Variant namingField(const FieldDef& field, Decode decode) {
    try {
        return decode();
    } catch (const WireFormatError& error) {
        fail("campo " + field.name + ": " + error.what());
    }
}

[[noreturn]] void failRowShape(const std::vector<FieldDef>& fields) {
    fail("cada linha deve ser uma lista com " + std::to_string(fields.size()) + " valores");
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

std::string encodePacket(const DataPacket& packet) {
    std::string out;
    Writer(out).packet(packet);
    return out;
}

std::string encodePacket(const std::vector<FieldDef>& fields, std::string_view rowsText) {
    std::string out;
    Writer(out).fields(fields);
    out.reserve(out.size() + rowsText.size() + 12);
    out += ",\"rows\":[";
    out += rowsText;
    out += "]}";
    return out;
}

std::string packetHead(const std::vector<FieldDef>& fields) {
    std::string out;
    Writer(out).fields(fields);
    out += ",\"rows\":[";
    return out;
}

void appendRow(std::string& out, const Row& row, const std::vector<FieldDef>& fields) {
    Writer(out).row(row, fields);
}

std::string encodeVariant(const Variant& value) {
    std::string out;
    Writer(out).variant(value);
    return out;
}

namespace {

// Every encoder writes "yyyy-mm-ddTHH:MM:SS", and a result carries a thousand of them: that
// form is read by position, without the general parser's search for its parts.
bool hasFixedIsoLayout(std::string_view text) {
    return text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == 'T' &&
           text[13] == ':' && text[16] == ':' &&
           digitsAt(text, {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18});
}

struct IsoParts {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

// The parts of text in the fixed layout; nullopt when they name no real date-time.
std::optional<IsoParts> fixedIsoParts(std::string_view text) {
    const auto number = [text](std::size_t at, std::size_t width) {
        int value = 0;
        for (std::size_t i = at; i < at + width; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const IsoParts parts{number(0, 4),  number(5, 2),  number(8, 2),
                         number(11, 2), number(14, 2), number(17, 2)};
    if (parts.month < 1 || parts.month > 12 || parts.day < 1 ||
        parts.day > daysInMonth(parts.year, parts.month) || parts.hour > 23 || parts.minute > 59 ||
        parts.second > 59) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace

std::optional<DateTime> parseIsoDateTime(std::string_view text) {
    if (hasFixedIsoLayout(text)) {
        const auto parts = fixedIsoParts(text);
        if (!parts) {
            return std::nullopt;
        }
        return DateTime(Date::fromParts(parts->year, parts->month, parts->day),
                        std::chrono::hours(parts->hour) + std::chrono::minutes(parts->minute) +
                            std::chrono::seconds(parts->second));
    }
    // DateTime::parse also reads the dd/mm/yyyy form people type; the wire allows only ISO.
    if (!digitsAt(text, {0, 1, 2, 3, 5, 6, 8, 9}) || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    return DateTime::parse(text);
}

bool isIsoDateTime(std::string_view text) {
    return hasFixedIsoLayout(text) ? fixedIsoParts(text).has_value()
                                   : parseIsoDateTime(text).has_value();
}

namespace {

Variant decodeText(std::string_view text, FieldType type) {
    switch (type) {
        case FieldType::String:
            return Variant(text);
        case FieldType::DateTime:
            if (const auto when = parseIsoDateTime(text)) {
                return Variant(*when);
            }
            throw WireFormatError("data e hora fora do formato aaaa-mm-ddTHH:MM:SS");
        case FieldType::Blob:
            if (auto bytes = base64::decode(text)) {
                return Variant(Blob{std::move(*bytes)});
            }
            throw WireFormatError("conteúdo binário fora do formato base64");
        default:
            failType(type);
    }
}

bool isInteger(JsonValue json) {
    const auto type = json.type();
    return type == simdjson::dom::element_type::INT64 ||
           type == simdjson::dom::element_type::UINT64;
}

// An integer as a signed 64-bit value; one above its range wraps, as a C++ cast does.
std::int64_t integerOf(JsonValue json) {
    return json.type() == simdjson::dom::element_type::UINT64
               ? static_cast<std::int64_t>(json.get_uint64().value_unsafe())
               : json.get_int64().value_unsafe();
}

std::optional<std::string_view> textOf(JsonValue json) {
    std::string_view text;
    if (json.get(text) != simdjson::SUCCESS) {
        return std::nullopt;
    }
    return text;
}

// The member `key` of `object`, or nullopt.
std::optional<JsonValue> memberOf(simdjson::dom::object object, std::string_view key) {
    JsonValue value;
    if (object.at_key(key).get(value) != simdjson::SUCCESS) {
        return std::nullopt;
    }
    return value;
}

Variant decodeValue(JsonValue json, FieldType type) {
    if (json.is_null()) {
        return Variant();
    }
    if (const auto text = textOf(json)) {
        return decodeText(*text, type);
    }
    switch (type) {
        case FieldType::Integer:
            if (isInteger(json)) {
                return Variant(integerOf(json));
            }
            break;
        case FieldType::Float:
            if (json.is_number()) {
                return Variant(json.get_double().value_unsafe());
            }
            break;
        case FieldType::Boolean:
            if (json.is_bool()) {
                return Variant(json.get_bool().value_unsafe());
            }
            break;
        default:
            break;
    }
    failType(type);
}

Row decodeRow(JsonValue json, const std::vector<FieldDef>& fields) {
    simdjson::dom::array cells;
    if (json.get(cells) != simdjson::SUCCESS) {
        failRowShape(fields);
    }
    Row row;
    row.reserve(fields.size());
    for (const auto cell : cells) {
        if (row.size() == fields.size()) {
            failRowShape(fields);
        }
        const FieldDef& field = fields[row.size()];
        row.push_back(namingField(field, [&] { return decodeValue(cell, field.type); }));
    }
    if (row.size() != fields.size()) {
        failRowShape(fields);
    }
    return row;
}

FieldDef decodeField(JsonValue json) {
    simdjson::dom::object object;
    if (json.get(object) != simdjson::SUCCESS) {
        fail("definição de campo não é um objeto");
    }
    const auto nameValue = memberOf(object, "name");
    const auto name = nameValue ? textOf(*nameValue) : std::nullopt;
    if (!name || name->empty()) {
        fail("campo sem nome");
    }
    FieldDef field;
    field.name = std::string(*name);
    const auto typeValue = memberOf(object, "type");
    const auto typeName = typeValue ? textOf(*typeValue) : std::nullopt;
    const auto fieldType = typeName ? fieldTypeFromName(std::string(*typeName)) : std::nullopt;
    if (!fieldType) {
        fail("tipo desconhecido no campo " + field.name);
    }
    field.type = *fieldType;
    if (const auto size = memberOf(object, "size")) {
        if (!isInteger(*size) || integerOf(*size) < 0 || integerOf(*size) > 1 << 30) {
            fail("tamanho inválido no campo " + field.name);
        }
        field.size = static_cast<int>(integerOf(*size));
    }
    if (const auto originValue = memberOf(object, "origin")) {
        const auto origin = textOf(*originValue);
        if (!origin) {
            fail("origem inválida no campo " + field.name);
        }
        field.origin = std::string(*origin);
    }
    return field;
}

Change decodeChange(JsonValue json, const std::vector<FieldDef>& fields) {
    simdjson::dom::object object;
    if (json.get(object) != simdjson::SUCCESS) {
        fail("alteração não é um objeto");
    }
    const auto kindValue = memberOf(object, "kind");
    const auto kindText = kindValue ? textOf(*kindValue) : std::nullopt;
    const std::string kindName(kindText.value_or(""));
    const auto rowAt = [&](std::string_view key) -> std::optional<Row> {
        const auto row = memberOf(object, key);
        return row ? std::optional<Row>(decodeRow(*row, fields)) : std::nullopt;
    };
    std::optional<Row> oldRow = rowAt("old");
    std::optional<Row> newRow = rowAt("new");
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
    const bool needsOld = change.kind != ChangeKind::Insert;
    const bool needsNew = change.kind != ChangeKind::Delete;
    if (oldRow.has_value() != needsOld || newRow.has_value() != needsNew) {
        fail("alteração \"" + kindName + "\" com linhas antigas ou novas faltando ou sobrando");
    }
    change.oldValues = std::move(oldRow).value_or(Row());
    change.newValues = std::move(newRow).value_or(Row());
    return change;
}

// The list `key` of a packet: nullopt when absent, refused when not a list.
std::optional<simdjson::dom::array> listOf(simdjson::dom::object packet, std::string_view key) {
    const auto value = memberOf(packet, key);
    if (!value) {
        return std::nullopt;
    }
    simdjson::dom::array list;
    if (value->get(list) != simdjson::SUCCESS) {
        fail("\"" + std::string(key) + "\" não é uma lista");
    }
    return list;
}

}  // namespace

DataPacket decodePacket(JsonValue json) {
    simdjson::dom::object object;
    if (json.get(object) != simdjson::SUCCESS) {
        fail("esperado um objeto");
    }
    const auto fieldsValue = memberOf(object, "fields");
    simdjson::dom::array fields;
    if (!fieldsValue || fieldsValue->get(fields) != simdjson::SUCCESS) {
        fail("falta a lista \"fields\"");
    }
    DataPacket packet;
    for (const auto field : fields) {
        packet.fields.push_back(decodeField(field));
    }
    if (const auto rows = listOf(object, "rows")) {
        packet.rows.reserve(rows->size());
        for (const auto row : *rows) {
            packet.rows.push_back(decodeRow(row, packet.fields));
        }
    }
    if (const auto changes = listOf(object, "changes")) {
        packet.changes.reserve(changes->size());
        for (const auto change : *changes) {
            packet.changes.push_back(decodeChange(change, packet.fields));
        }
    }
    return packet;
}

Variant decodeVariant(JsonValue json) {
    switch (json.type()) {
        case simdjson::dom::element_type::NULL_VALUE:
            return Variant();
        case simdjson::dom::element_type::STRING:
            return Variant(json.get_string().value_unsafe());
        case simdjson::dom::element_type::BOOL:
            return Variant(json.get_bool().value_unsafe());
        case simdjson::dom::element_type::INT64:
        case simdjson::dom::element_type::UINT64:
            return Variant(integerOf(json));
        case simdjson::dom::element_type::DOUBLE:
            return Variant(json.get_double().value_unsafe());
        case simdjson::dom::element_type::OBJECT:
            return Variant(decodePacket(json));
        default:
            throw WireFormatError("Valor inválido: listas soltas não são aceitas.");
    }
}

}  // namespace lembrete::json_codec
