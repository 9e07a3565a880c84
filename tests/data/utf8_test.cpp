#include "data/utf8.h"

#include <gtest/gtest.h>

namespace lembrete {
namespace {

TEST(Utf8, LengthCountsCharacters) {
    EXPECT_EQ(utf8::length(""), 0u);
    EXPECT_EQ(utf8::length("abc"), 3u);
    EXPECT_EQ(utf8::length("ação"), 4u);
    EXPECT_EQ(utf8::length("Referência"), 10u);
    EXPECT_EQ(utf8::length("€→"), 2u);
}

TEST(Utf8, FoldCaseCoversPortugueseLetters) {
    EXPECT_EQ(utf8::foldCase("REUNIÃO ÀS 9H É ÚTIL, ÇÕES"), "reunião às 9h é útil, ções");
    EXPECT_EQ(utf8::foldCase("2×3"), "2×3");  // the multiplication sign is no letter
    EXPECT_TRUE(utf8::equalIgnoringCase("NrAtivPess", "NRATIVPESS"));
    EXPECT_TRUE(utf8::equalIgnoringCase("REFERÊNCIA", "referência"));
    EXPECT_FALSE(utf8::equalIgnoringCase("referencia", "referência"));
    EXPECT_FALSE(utf8::equalIgnoringCase("abc", "abcd"));
}

TEST(Utf8, FoldCaseAndAccentsLeavesTheBaseLetters) {
    EXPECT_EQ(utf8::foldCaseAndAccents("REUNIÃO às 9h É ÚTIL, AÇÕES"),
              "reuniao as 9h e util, acoes");
    // Letters without a base letter and other signs stay as they are.
    EXPECT_EQ(utf8::foldCaseAndAccents("Æ ð 2×3 ÷"), "æ ð 2×3 ÷");
}

TEST(Utf8, SequenceLengthTakesOnlyWellFormedSequences) {
    const struct {
        std::string text;
        std::size_t length;
    } cases[] = {
        {"a", 1},
        {"ç", 2},
        {"€", 3},
        {"😀", 4},
        {"\x80", 0},          // a continuation byte alone
        {"\xC0\xAF", 0},      // an overlong '/'
        {"\xE3\x81", 0},      // cut off
        {"\xED\xA0\x80", 0},  // a surrogate
        {"\xF5\x80\x80\x80", 0},
        {"\xE7\xE3o", 0},  // Latin-1 "çã"
    };
    for (const auto& one : cases) {
        EXPECT_EQ(utf8::sequenceLength(one.text, 0), one.length) << one.text;
    }
}

TEST(Utf8, BytesThatAreNotUtf8AreReadAsLatin1AndNothingIsDropped) {
    EXPECT_EQ(utf8::fromUtf8OrLatin1("Descrição em UTF-8 → já válida"),
              "Descrição em UTF-8 → já válida");
    EXPECT_EQ(utf8::fromUtf8OrLatin1("Descri\xE7\xE3o"), "Descrição");
    EXPECT_EQ(utf8::fromUtf8OrLatin1("ação e a\xE7\xE3o"), "ação e ação");
    EXPECT_EQ(utf8::fromUtf8OrLatin1(std::string("\0\xFF\x01", 3)), std::string("\0ÿ\x01", 4));
    EXPECT_EQ(utf8::fromUtf8OrLatin1("fim cortado \xE3\x81"), "fim cortado ã\xC2\x81");
    EXPECT_EQ(utf8::fromUtf8OrLatin1(""), "");
}

}  // namespace
}  // namespace lembrete
