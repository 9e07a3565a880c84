// Any text through the wire decoder of variants, packets and deltas. What decodes must encode
// again, and encoding is deterministic: decode(encode(x)) == x and encode gives the same text
// for it. A WireFormatError is a refusal, the expected answer to most inputs.
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "net/json_codec.h"
#include "net/wire_format_error.h"

namespace {

using namespace lembrete;

[[noreturn]] void broken(const char* what, const std::string& text) {
    std::cerr << "fuzz_data_packet: " << what << "\n  text: " << text << "\n";
    std::abort();
}

Variant decoded(const std::string& text) {
    simdjson::dom::parser parser;
    JsonValue json;
    if (parser.parse(text).get(json) != simdjson::SUCCESS) {
        broken("the encoder wrote text that is not JSON", text);
    }
    return json_codec::decodeVariant(json);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    simdjson::dom::parser parser;
    JsonValue json;
    if (parser.parse(reinterpret_cast<const char*>(data), size).get(json) != simdjson::SUCCESS) {
        return 0;
    }
    Variant value;
    try {
        value = json_codec::decodeVariant(json);
    } catch (const WireFormatError&) {
        return 0;
    }
    std::string text;
    try {
        text = json_codec::encodeVariant(value);
    } catch (const WireFormatError&) {
        broken("a decoded value could not be encoded",
               std::string(reinterpret_cast<const char*>(data), size));
    }
    Variant again;
    try {
        again = decoded(text);
    } catch (const WireFormatError& error) {
        broken(error.what(), text);
    }
    if (!(again == value)) {
        broken("decoding the encoded text gave another value", text);
    }
    if (json_codec::encodeVariant(again) != text) {
        broken("encoding the same value twice gave different text", text);
    }
    return 0;
}
