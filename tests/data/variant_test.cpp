#include "data/variant.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

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

// Texts on both sides of what a variant holds inside itself (22 bytes) and far beyond it.
std::vector<std::string> textsOfEveryLength() {
    return {"",
            "P",
            std::string(21, 'a'),
            std::string(22, 'b'),
            std::string(23, 'c'),
            "Reunião semanal da equipe de atendimento",
            std::string("nul\0no meio", 12),
            std::string(100000, 'z')};
}

TEST(Variant, TextOfAnyLengthSurvivesCopiesAndMoves) {
    for (const auto& text : textsOfEveryLength()) {
        const Variant original(text);
        EXPECT_EQ(original.kind(), VariantKind::String);
        EXPECT_EQ(original.asStringView(), text);
        EXPECT_EQ(original.asString(), text);
        EXPECT_EQ(original.toText(), text);

        Variant copy(original);
        EXPECT_EQ(copy, original);
        EXPECT_NE(copy.asStringView().data(), original.asStringView().data());

        Variant moved(std::move(copy));
        EXPECT_EQ(moved.asStringView(), text);
        EXPECT_TRUE(copy.isNull());  // NOLINT(bugprone-use-after-move): moved-from is null

        Variant assigned(42);
        assigned = original;
        EXPECT_EQ(assigned.asStringView(), text);
        assigned = Variant(1.5);
        EXPECT_EQ(assigned, Variant(1.5));
        assigned = std::move(moved);
        EXPECT_EQ(assigned.asStringView(), text);
        EXPECT_TRUE(moved.isNull());  // NOLINT(bugprone-use-after-move)

        auto& self = assigned;
        assigned = self;
        EXPECT_EQ(assigned.asStringView(), text);
        assigned = std::move(self);
        EXPECT_EQ(assigned.asStringView(), text);
    }
}

TEST(Variant, TextsEqualOnlyWhenEveryByteIs) {
    const auto texts = textsOfEveryLength();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); ++j) {
            EXPECT_EQ(Variant(texts[i]) == Variant(texts[j]), i == j) << i << " " << j;
        }
    }
    EXPECT_NE(Variant(std::string(23, 'c')), Variant(std::string(23, 'c') + "d"));
    EXPECT_NE(Variant(std::string(100000, 'z')), Variant(std::string(99999, 'z') + "y"));
}

TEST(Variant, EveryKindCopiesAndMovesWithItsValue) {
    DataPacket packet{{FieldDef{"NR", FieldType::String, 10, ""}}, {{Variant("1")}}, {}};
    const std::vector<Variant> values = {Variant(),
                                         Variant("curto"),
                                         Variant(std::string(40, 'x')),
                                         Variant(std::int64_t{-9007199254740993}),
                                         Variant(0.1),
                                         Variant(false),
                                         Variant(DateTime::fromParts({2030, 12, 31}, 23, 59, 59)),
                                         Variant(Blob{std::string(300, '\x01')}),
                                         Variant(packet)};
    for (std::size_t i = 0; i < values.size(); ++i) {
        Variant copy = values[i];
        EXPECT_EQ(copy.kind(), values[i].kind());
        EXPECT_EQ(copy, values[i]) << i;
        for (std::size_t j = 0; j < values.size(); ++j) {
            Variant target = values[j];
            target = copy;
            EXPECT_EQ(target, values[i]) << i << " over " << j;
            Variant source = values[i];
            target = values[j];
            target = std::move(source);
            EXPECT_EQ(target, values[i]) << i << " moved over " << j;
            EXPECT_TRUE(source.isNull());  // NOLINT(bugprone-use-after-move)
            EXPECT_EQ(values[i] == values[j], i == j) << i << " " << j;
        }
    }
    EXPECT_EQ(values[7].asBlob().bytes, std::string(300, '\x01'));
    EXPECT_EQ(values[8].asPacket(), packet);
}

TEST(Variant, TypedAccessRefusesAnotherKind) {
    EXPECT_THROW((void)Variant(7).asStringView(), std::bad_variant_access);
    EXPECT_THROW((void)Variant().asString(), std::bad_variant_access);
    EXPECT_THROW((void)Variant("7").asInteger(), std::bad_variant_access);
    EXPECT_THROW((void)Variant(7).asFloat(), std::bad_variant_access);
    EXPECT_THROW((void)Variant(1).asBoolean(), std::bad_variant_access);
    EXPECT_THROW((void)Variant("01/01/2030").asDateTime(), std::bad_variant_access);
    EXPECT_THROW((void)Variant("{\\rtf1}").asBlob(), std::bad_variant_access);
    EXPECT_THROW((void)Variant(Blob{}).asPacket(), std::bad_variant_access);
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
