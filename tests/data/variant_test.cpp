#include "data/variant.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "data/data_packet.h"

namespace lembrete {
namespace {

TEST(Variant, DisplayText) {
    struct Case {
        Variant value;
        const char* text;
    };
    const Case cases[] = {
        {Variant(), ""},
        {Variant("Referência"), "Referência"},
        {Variant(42), "42"},
        {Variant(std::int64_t{-7}), "-7"},
        {Variant(1.5), "1.5"},
        {Variant(3.0), "3"},
        {Variant(true), "True"},
        {Variant(Date::fromParts(2024, 2, 29)), "29/02/2024"},
        {Variant(DateTime::fromParts({2024, 2, 29}, 8, 30)), "29/02/2024 08:30:00"},
        {Variant(Blob{"{\\rtf1}"}), "{\\rtf1}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.toText(), c.text);
    }
}

TEST(Variant, NumbersFromNumbersAndNumericText) {
    EXPECT_DOUBLE_EQ(Variant(7).toNumber(), 7);
    EXPECT_DOUBLE_EQ(Variant(2.25).toNumber(), 2.25);
    EXPECT_DOUBLE_EQ(Variant(" 15 ").toNumber(), 15);
    EXPECT_DOUBLE_EQ(Variant("-0.5").toNumber(), -0.5);
    for (const Variant& bad :
         {Variant(), Variant(""), Variant("12a"), Variant("abc"), Variant(true), Variant(Date())}) {
        EXPECT_THROW(bad.toNumber(), std::invalid_argument) << bad.toText();
    }
}

TEST(Variant, EqualityIsByKindAndValue) {
    EXPECT_EQ(Variant("P"), Variant(std::string("P")));
    EXPECT_NE(Variant("P"), Variant("p"));
    EXPECT_NE(Variant(1), Variant(1.0));
    EXPECT_NE(Variant(), Variant(""));
    EXPECT_EQ(Variant(), Variant(nullptr));
    DataPacket packet{{FieldDef{"NR", FieldType::String, 10, ""}}, {{Variant("1")}}, {}};
    EXPECT_EQ(Variant(packet), Variant(packet));
    DataPacket other = packet;
    other.rows[0][0] = Variant("2");
    EXPECT_NE(Variant(packet), Variant(other));
    EXPECT_EQ(Variant(packet).asPacket(), packet);
}

TEST(DataPacket, FieldIndexIgnoresCase) {
    DataPacket packet{{FieldDef{"CDOPERADOR", FieldType::String, 12, ""},
                       FieldDef{"NRATIVPESS", FieldType::String, 10, ""}},
                      {},
                      {}};
    EXPECT_EQ(packet.fieldIndex("nrativpess"), 1);
    EXPECT_EQ(packet.fieldIndex("CdOperador"), 0);
    EXPECT_EQ(packet.fieldIndex("NRATIVPES"), -1);
}

TEST(DataPacket, TypeAndKindNamesRoundTrip) {
    for (auto type : {FieldType::String, FieldType::Integer, FieldType::Float, FieldType::Boolean,
                      FieldType::DateTime, FieldType::Blob}) {
        EXPECT_EQ(fieldTypeFromName(fieldTypeName(type)), type) << fieldTypeName(type);
    }
    EXPECT_EQ(fieldTypeFromName("DATETIME"), FieldType::DateTime);
    EXPECT_EQ(fieldTypeFromName("text"), std::nullopt);
    EXPECT_STREQ(changeKindName(ChangeKind::Insert), "insert");
    EXPECT_STREQ(changeKindName(ChangeKind::Update), "update");
    EXPECT_STREQ(changeKindName(ChangeKind::Delete), "delete");
}

}  // namespace
}  // namespace lembrete
