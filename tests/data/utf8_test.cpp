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

}  // namespace
}  // namespace lembrete
