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

#include <simdjson.h>

#include <nlohmann/json.hpp>

#include "data/data_packet.h"
#include "data/variant.h"

namespace lembrete {

// Small documents built in memory (error envelopes, tests) use nlohmann's.
using Json = nlohmann::json;
// Received text is parsed by simdjson, which checks the whole text (UTF-8 included) at a few
// GB/s; a value lives in its parser's memory and is decoded into Variants at once.
using JsonValue = simdjson::dom::element;

namespace json_codec {

// The JSON text of a packet. Throws WireFormatError for text that is not UTF-8.
std::string encodePacket(const DataPacket& packet);
// The same for a packet of `fields` whose rows are JSON text already ("[...],[...]"): for a
// long result written straight from a query, without a Variant for each value.
std::string encodePacket(const std::vector<FieldDef>& fields, std::string_view rowsText);
// The same written a piece at a time: packetHead up to the rows (`{"fields":[...],"rows":[`),
// then each row after a comma but the first, then "]}".
std::string packetHead(const std::vector<FieldDef>& fields);
void appendRow(std::string& out, const Row& row, const std::vector<FieldDef>& fields);
DataPacket decodePacket(JsonValue json);

// A method argument or result, whose type travels with it: a packet is an object, a date-time
// an ISO string (it decodes back as text: the receiver knows which arguments are dates), a blob
// base64 text.
std::string encodeVariant(const Variant& value);
Variant decodeVariant(JsonValue json);

// An ISO 8601 local date-time or date ("yyyy-mm-dd[THH:MM[:SS[.mmm]]]"); nullopt otherwise.
std::optional<DateTime> parseIsoDateTime(std::string_view text);
// Whether parseIsoDateTime reads text, checked without building the DateTime.
bool isIsoDateTime(std::string_view text);

}  // namespace json_codec
}  // namespace lembrete
