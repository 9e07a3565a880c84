#include "net/variant_reader.h"

#include <gtest/gtest.h>

#include "net/wire_format_error.h"

namespace lembrete {
namespace {

Variant read(const std::string& text) {
    VariantReader reader;
    if (!Json::sax_parse(text, &reader) || !reader.done()) {
        throw std::runtime_error("not one JSON value");
    }
    return reader.take();
}

// The streaming reader and the document decoder agree on every input: same value or both refuse.
void expectSameAsDocument(const std::string& text) {
    std::optional<Variant> fromDocument;
    try {
        fromDocument = json_codec::decodeVariant(Json::parse(text));
    } catch (const WireFormatError&) {
    }
    if (fromDocument) {
        EXPECT_EQ(read(text), *fromDocument) << text;
    } else {
        EXPECT_THROW(read(text), WireFormatError) << text;
    }
}

TEST(VariantReader, ReadsWhatTheCodecWrites) {
    DataPacket delta;
    delta.fields = {{"CDOPERADOR", FieldType::String, 12, "DBHALVARD.ATIVPESSOAL.CDOPERADOR"},
                    {"DTATIVPESS", FieldType::DateTime, 0, ""},
                    {"QTSEGUATPESS", FieldType::Float, 0, ""},
                    {"QTD", FieldType::Integer, 0, ""},
                    {"ATIVO", FieldType::Boolean, 0, ""},
                    {"TXATIVPESS", FieldType::Blob, 0, ""}};
    const Row row{"ANA", DateTime::fromParts({2026, 12, 8}, 9), 15.0, std::int64_t{-3},
                  true,  Blob{std::string("\0rtf", 4)}};
    const Row other{"ANA", Variant(), Variant(), Variant(), false, Variant()};
    delta.rows = {row, other};
    delta.changes = {{ChangeKind::Insert, {}, row},
                     {ChangeKind::Update, row, other},
                     {ChangeKind::Delete, other, {}}};
    EXPECT_EQ(read(json_codec::encodePacket(delta)), Variant(delta));
    for (const Variant& scalar :
         {Variant(), Variant("texto"), Variant(std::int64_t{7}), Variant(2.5), Variant(true)}) {
        EXPECT_EQ(read(json_codec::encodeVariant(scalar)), scalar);
    }
}

TEST(VariantReader, AgreesWithTheDocumentDecoder) {
    const char* cases[] = {
        R"({"fields":[{"name":"A","type":"string","size":1,"origin":"","extra":{"x":[1]}}],"rows":[["a"],[null]],"outro":[1,{"y":2}]})",
        R"({"fields":[],"rows":[]})",
        R"({"fields":[{"name":"A","type":"integer"}],"changes":[{"kind":"update","old":[1],"new":[2]}]})",
        R"([])",
        R"({"rows":[]})",
        R"({"fields":{}})",
        R"({"fields":[1]})",
        R"({"fields":[{"type":"string"}]})",
        R"({"fields":[{"name":"A","type":"texto"}]})",
        R"({"fields":[{"name":"A","type":"string","size":"1"}]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[["a","b"]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":["a"]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[["a"]]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[{"a":1}]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":{}})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[1]]})",
        R"({"fields":[{"name":"A","type":"datetime"}],"rows":[["08/12/2026"]]})",
        R"({"fields":[{"name":"A","type":"blob"}],"rows":[["%%%"]]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"merge","new":["a"]}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"insert","old":["a"],"new":["a"]}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"delete"}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[1]})",
    };
    for (const char* text : cases) {
        expectSameAsDocument(text);
    }
}

}  // namespace
}  // namespace lembrete
