// The JSON form of variants and data packets on the wire, shared by the client transport and
// the server so that both ends encode exactly alike.
//
//   data packet  {"fields":[{"name","type","size","origin"}...],"rows":[[...]...]}
//   delta        the same fields plus "changes":[{"kind":"insert"|"update"|"delete",
//                                                 "old":[...],"new":[...]}]
//
// Inserts carry only "new", deletes only "old", updates both; each a full row in field order.
// Field values follow the field's type: text and numbers as JSON, booleans as JSON booleans,
// date-times as ISO 8601 local date-times ("yyyy-mm-ddTHH:MM:SS", ".mmm" only when not zero),
// blobs as base64 text, null as JSON null. Encoding is deterministic, so encode -> decode ->
// encode gives the same bytes. Decoding checks the shape and throws WireFormatError.
#pragma once

#include <nlohmann/json.hpp>

#include "data/data_packet.h"
#include "data/variant.h"

namespace lembrete {

// Documents are only read (the encoder writes text); the map-based kind parses fastest.
using Json = nlohmann::json;

namespace json_codec {

// The JSON text of a packet. Throws WireFormatError for text that is not UTF-8.
std::string encodePacket(const DataPacket& packet);
// The same for a packet of `fields` whose rows are JSON text already ("[...],[...]"): for a
// long result written straight from a query, without a Variant for each value.
std::string encodePacket(const std::vector<FieldDef>& fields, std::string_view rowsText);
DataPacket decodePacket(const Json& json);

// One field value of the given type; decodeText reads it from the text of a JSON string.
Variant decodeValue(const Json& json, FieldType type);
Variant decodeText(std::string_view text, FieldType type);

// Pieces of a packet, for readers that meet a packet in parts (variant_reader.h).
FieldDef decodeField(const Json& json);
Variant decodeCell(const Json& json, const FieldDef& field);  // names the field on failure
Variant decodeTextCell(std::string_view text, const FieldDef& field);
Row decodeRow(const Json& json, const std::vector<FieldDef>& fields);
void checkRowWidth(std::size_t count, const std::vector<FieldDef>& fields);
Change makeChange(const std::string& kindName, std::optional<Row> oldRow,
                  std::optional<Row> newRow);
Change decodeChange(const Json& json, const std::vector<FieldDef>& fields);

// A method argument or result, whose type travels with it: a packet is an object, a date-time
// an ISO string (it decodes back as text: the receiver knows which arguments are dates), a blob
// base64 text.
std::string encodeVariant(const Variant& value);
Variant decodeVariant(const Json& json);

// An ISO 8601 local date-time or date ("yyyy-mm-dd[THH:MM[:SS[.mmm]]]"); nullopt otherwise.
std::optional<DateTime> parseIsoDateTime(std::string_view text);

}  // namespace json_codec
}  // namespace lembrete
