#include "net/json_codec.h"

#include <gtest/gtest.h>

#include "net/wire_format_error.h"

namespace lembrete {
namespace {

// Reads `text` the way both ends read what they receive.
Variant decodeVariant(const std::string& text) {
    simdjson::dom::parser parser;
    return json_codec::decodeVariant(parser.parse(text).value());
}

DataPacket decodePacket(const std::string& text) {
    simdjson::dom::parser parser;
    return json_codec::decodePacket(parser.parse(text).value());
}

DataPacket reminderDelta() {
    DataPacket delta;
    delta.fields = {
        {"CDOPERADOR", FieldType::String, 12, "DBHALVARD.ATIVPESSOAL.CDOPERADOR"},
        {"NRATIVPESS", FieldType::String, 10, "DBHALVARD.ATIVPESSOAL.NRATIVPESS"},
        {"DTATIVPESS", FieldType::DateTime, 0, "DBHALVARD.ATIVPESSOAL.DTATIVPESS"},
        {"QTSEGUATPESS", FieldType::Float, 0, "DBHALVARD.ATIVPESSOAL.QTSEGUATPESS"},
        {"QTD", FieldType::Integer, 0, ""},
        {"ATIVO", FieldType::Boolean, 0, ""},
        {"TXATIVPESS", FieldType::Blob, 0, ""},
    };
    const auto when = DateTime::fromParts({2026, 12, 8}, 14, 30, 5);
    const Row before{
        "ANA", "7", when, 15.0, std::int64_t{3}, true, Blob{std::string("{\\rtf1 a\0b}", 11)}};
    const Row after{"ANA", "7",      when.withTime(std::chrono::milliseconds(1)), 2.5, Variant(),
                    false, Variant()};
    delta.changes = {
        {ChangeKind::Insert, {}, before},
        {ChangeKind::Update, before, after},
        {ChangeKind::Delete, after, {}},
    };
    return delta;
}

TEST(JsonCodec, DeltaRoundTripGivesTheSameBytes) {
    const auto first = json_codec::encodePacket(reminderDelta());
    const auto decoded = decodePacket(first);
    EXPECT_EQ(decoded, reminderDelta());
    EXPECT_EQ(json_codec::encodePacket(decoded), first);
}

TEST(JsonCodec, RowsPacketRoundTripAndLayout) {
    DataPacket packet;
    packet.fields = {{"DTATIVPESS", FieldType::DateTime, 0, "DBHALVARD.ATIVPESSOAL.DTATIVPESS"},
                     {"DSREFEATPESS", FieldType::String, 100, ""}};
    packet.rows = {{Date::fromParts(2026, 1, 31), "Reunião \"às\" 10h"}, {Variant(), ""}};
    const auto text = json_codec::encodePacket(packet);
    EXPECT_EQ(
        text,
        R"({"fields":[{"name":"DTATIVPESS","type":"datetime","size":0,"origin":"DBHALVARD.ATIVPESSOAL.DTATIVPESS"},)"
        R"({"name":"DSREFEATPESS","type":"string","size":100,"origin":""}],)"
        R"("rows":[["2026-01-31T00:00:00","Reunião \"às\" 10h"],[null,""]]})");
    EXPECT_EQ(json_codec::encodePacket(decodePacket(text)), text);
}

TEST(JsonCodec, ChangesCarryOnlyTheirRows) {
    const auto json = Json::parse(json_codec::encodePacket(reminderDelta()));
    const auto& changes = json.at("changes");
    EXPECT_FALSE(json.contains("rows"));
    EXPECT_EQ(changes[0].at("kind"), "insert");
    EXPECT_FALSE(changes[0].contains("old"));
    EXPECT_TRUE(changes[1].contains("old") && changes[1].contains("new"));
    EXPECT_FALSE(changes[2].contains("new"));
    EXPECT_EQ(changes[0].at("new")[6], "e1xydGYxIGEAYn0=");  // base64 of the blob
    EXPECT_EQ(changes[1].at("new")[2], "2026-12-08T00:00:00.001");
}

TEST(JsonCodec, VariantArgumentsKeepTheirKind) {
    const std::vector<Variant> values{
        Variant(), "texto", std::int64_t{42},
        1.5,       true,    Variant(DataPacket{{{"X", FieldType::String, 1, ""}}, {{"a"}}, {}})};
    for (const auto& value : values) {
        EXPECT_EQ(decodeVariant(json_codec::encodeVariant(value)), value) << value.toText();
    }
    EXPECT_EQ(json_codec::encodeVariant(DateTime::fromParts({2026, 2, 3}, 4, 5, 6)),
              R"("2026-02-03T04:05:06")");
}

TEST(JsonCodec, TextIsWrittenAsNlohmannWritesIt) {
    DataPacket packet;
    packet.fields = {{"T", FieldType::String, 0, ""}, {"F", FieldType::Float, 0, ""}};
    packet.rows = {{std::string("aspas \" barra \\ nova\nlinha\t\x01\x1f\x7f ção 😀"), 15.0},
                   {"", 0.1},
                   {"x", -2.5e-300},
                   {"y", 1e21}};
    const auto text = json_codec::encodePacket(packet);
    EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(), text);
    EXPECT_EQ(decodePacket(text), packet);
}

TEST(JsonCodec, TextThatIsNotUtf8IsRefused) {
    for (const char* bad :
         {"\xff", "\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "a\xe2\x82"}) {
        EXPECT_THROW(json_codec::encodeVariant(Variant(bad)), WireFormatError) << bad;
    }
}

TEST(JsonCodec, MalformedPacketsAreRefused) {
    const char* cases[] = {
        R"([])",
        R"({"rows":[]})",
        R"({"fields":[{"type":"string"}]})",
        R"({"fields":[{"name":"A","type":"texto"}]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[["a","b"]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[1]]})",
        R"({"fields":[{"name":"A","type":"integer"}],"rows":[[1.5]]})",
        R"({"fields":[{"name":"A","type":"datetime"}],"rows":[["08/12/2026"]]})",
        R"({"fields":[{"name":"A","type":"datetime"}],"rows":[["2026-02-30T00:00:00"]]})",
        R"({"fields":[{"name":"A","type":"blob"}],"rows":[["não é base64"]]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"merge","new":["a"]}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"insert","old":["a"],"new":["a"]}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"update","new":["a"]}]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[{"kind":"delete"}]})",
    };
    for (const char* text : cases) {
        EXPECT_THROW(decodePacket(text), WireFormatError) << text;
    }
}

TEST(JsonCodec, ReadsWhatItWrites) {
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
    EXPECT_EQ(decodeVariant(json_codec::encodePacket(delta)), Variant(delta));
    for (const Variant& scalar :
         {Variant(), Variant("texto"), Variant(std::int64_t{7}), Variant(2.5), Variant(true)}) {
        EXPECT_EQ(decodeVariant(json_codec::encodeVariant(scalar)), scalar);
    }
}

TEST(JsonCodec, UnknownMembersAreIgnored) {
    const auto packet = decodePacket(
        R"({"fields":[{"name":"A","type":"string","size":1,"origin":"","extra":{"x":[1]}}],)"
        R"("rows":[["a"],[null]],"outro":[1,{"y":2}]})");
    EXPECT_EQ(packet.fields.size(), 1u);
    EXPECT_EQ(packet.rows, (std::vector<Row>{{"a"}, {Variant()}}));
    EXPECT_EQ(decodePacket(R"({"fields":[],"rows":[]})"), DataPacket());
    const auto update = decodePacket(
        R"({"fields":[{"name":"A","type":"integer"}],"changes":[{"kind":"update","old":[1],"new":[2]}]})");
    ASSERT_EQ(update.changes.size(), 1u);
    EXPECT_EQ(update.changes[0].oldValues, Row{std::int64_t{1}});
    EXPECT_EQ(update.changes[0].newValues, Row{std::int64_t{2}});
}

TEST(JsonCodec, WrongShapesAreRefused) {
    const char* cases[] = {
        R"({"fields":{}})",
        R"({"fields":[1]})",
        R"({"fields":[{"name":"A","type":"string","size":"1"}]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":["a"]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[["a"]]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":[[{"a":1}]]})",
        R"({"fields":[{"name":"A","type":"string"}],"rows":{}})",
        R"({"fields":[{"name":"A","type":"blob"}],"rows":[["%%%"]]})",
        R"({"fields":[{"name":"A","type":"string"}],"changes":[1]})",
    };
    for (const char* text : cases) {
        EXPECT_THROW(decodePacket(text), WireFormatError) << text;
    }
    EXPECT_THROW(decodeVariant("[]"), WireFormatError);
}

TEST(JsonCodec, IsoDateTimesOnly) {
    EXPECT_EQ(json_codec::parseIsoDateTime("2026-12-08T10:20:30"),
              DateTime::fromParts({2026, 12, 8}, 10, 20, 30));
    EXPECT_EQ(json_codec::parseIsoDateTime("2026-12-08"), DateTime::fromParts({2026, 12, 8}));
    EXPECT_FALSE(json_codec::parseIsoDateTime("08/12/2026"));
    EXPECT_FALSE(json_codec::parseIsoDateTime("2026-13-01T00:00:00"));
    EXPECT_FALSE(json_codec::parseIsoDateTime(""));
}

// The light check must accept exactly what the parser reads, in and out of the fixed layout.
TEST(JsonCodec, IsoCheckAgreesWithParser) {
    for (const std::string_view text :
         {"2026-12-08T10:20:30", "2024-02-29T00:00:00", "2026-12-08", "2026-12-08T10:20",
          "2026-12-08T10:20:30.500", "2025-02-29T00:00:00", "2026-04-31T00:00:00",
          "2026-12-08T24:00:00", "2026-12-08T10:60:00", "2026-12-08T10:20:60",
          "2026-00-08T10:20:30", "2026-12-00T10:20:30", "2026-12-08 10:20:30",
          "2026-12-08T1a:20:30", "08/12/2026", "2026-1-08", "", "2026"}) {
        EXPECT_EQ(json_codec::isIsoDateTime(text), json_codec::parseIsoDateTime(text).has_value())
            << text;
    }
    EXPECT_TRUE(json_codec::isIsoDateTime("2024-02-29T23:59:59"));
    EXPECT_FALSE(json_codec::isIsoDateTime("2023-02-29T23:59:59"));
}

}  // namespace
}  // namespace lembrete
