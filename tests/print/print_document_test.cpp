// The printable document: rows grouped by day for a listing, and what a preview asks of it.
#include "print/print_document.h"

#include <gtest/gtest.h>

namespace lembrete {
namespace {

DatedRow row(int day, const char* reference, const char* description = "") {
    return DatedRow{Date::fromParts(2026, 3, static_cast<std::uint16_t>(day)),
                    PrintRow{{reference}, description}};
}

std::string heading(Date day) {
    return "dia " + day.format();
}

TEST(PrintDocumentTest, GroupByDayMakesOneSectionPerDayInDateOrderKeepingTheRowsOrder) {
    const std::vector<PrintSection> sections =
        GroupByDay({row(12, "b"), row(11, "a"), row(12, "c"), row(20, "d"), row(11, "e")}, heading);
    ASSERT_EQ(sections.size(), 3u);
    const struct {
        const char* heading;
        std::vector<std::string> references;
    } expected[] = {
        {"dia 11/03/2026", {"a", "e"}}, {"dia 12/03/2026", {"b", "c"}}, {"dia 20/03/2026", {"d"}}};
    for (std::size_t at = 0; at < sections.size(); ++at) {
        EXPECT_EQ(sections[at].heading, expected[at].heading);
        std::vector<std::string> references;
        for (const PrintRow& printed : sections[at].rows) {
            references.push_back(printed.cells.at(0));
        }
        EXPECT_EQ(references, expected[at].references) << expected[at].heading;
    }
    EXPECT_TRUE(GroupByDay({}, heading).empty());
}

TEST(PrintDocumentTest, RowsAndDescriptionsAreCountedOverEverySection) {
    PrintDocument document{"Título", {}, {{"Referência", false}}, {}};
    EXPECT_EQ(document.RowCount(), 0);
    EXPECT_FALSE(document.HasDescriptions());
    document.sections = GroupByDay({row(1, "a"), row(2, "b"), row(2, "c")}, heading);
    EXPECT_EQ(document.RowCount(), 3);
    EXPECT_FALSE(document.HasDescriptions());
    document.sections = GroupByDay({row(1, "a"), row(2, "b", "<b>texto</b>")}, heading);
    EXPECT_TRUE(document.HasDescriptions());
}

}  // namespace
}  // namespace lembrete
