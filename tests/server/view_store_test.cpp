// The reads behind the week and month views and the search over all dates, on SQLite and
// PostgreSQL: the days of a range, the filters, the keys of references and descriptions, and
// pages that follow one another without a gap or a repeat.
#include <gtest/gtest.h>

#include "server/delta_writer.h"
#include "server/number_sequences.h"
#include "server/reminder_queries.h"
#include "server/table_layout.h"
#include "store_fixture.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

const Date kSunday = Date::fromParts(2026, 12, 27);

DateTime at(Date day, int hour, int minute = 0) {
    return DateTime(day, std::chrono::minutes(hour * 60 + minute));
}

std::string numbersOf(const DataPacket& packet) {
    std::string numbers;
    for (const auto& row : packet.rows) {
        numbers += (numbers.empty() ? "" : " ") + row[1].asString();
    }
    return numbers;
}

class ViewStoreTest : public StoreTest {
  protected:
    void insert(const std::vector<ReminderValues>& reminders) {
        auto connection = store().lease();
        std::vector<Change> changes;
        for (const auto& values : reminders) {
            const long long wanted = std::stoll(values.number);
            const long long issued = NumberSequences::lastIssued(*connection, values.operatorCode,
                                                                 SequenceKind::Reminder);
            if (wanted > issued) {
                NumberSequences::reserve(*connection, values.operatorCode, SequenceKind::Reminder,
                                         wanted - issued);
            }
            changes.push_back(insertOf(reminderRow(values)));
        }
        DeltaWriter(reminderLayout(), reminders.front().operatorCode)
            .apply(*connection, reminderDelta(changes));
    }

    void describe(const std::string& operatorCode, const std::string& number,
                  const std::string& text) {
        auto connection = store().lease();
        DeltaWriter(descriptionLayout(), operatorCode)
            .apply(*connection,
                   descriptionDelta({insertOf(descriptionRow(operatorCode, number, text))}));
    }

    std::string range(RangeFilter filter) {
        auto connection = store().lease();
        return numbersOf(ReminderQueries::range(*connection, filter));
    }

    DataPacket search(const std::string& operatorCode, const std::string& text, int pageSize,
                      std::optional<SearchRequest::Position> after = std::nullopt) {
        auto connection = store().lease();
        return ReminderQueries::search(*connection, {operatorCode, text, after, pageSize});
    }

    // Every page of a search, walked as a client does; the numbers of each page in brackets.
    std::string pages(const std::string& operatorCode, const std::string& text, int pageSize) {
        std::string all;
        std::optional<SearchRequest::Position> after;
        for (int page = 0; page < 20; ++page) {
            const auto packet = search(operatorCode, text, pageSize, after);
            EXPECT_LE(packet.rows.size(), static_cast<std::size_t>(pageSize));
            if (packet.rows.empty()) {
                break;
            }
            all += "[" + numbersOf(packet) + "]";
            const Row& last = packet.rows.back();
            after = SearchRequest::Position{last[3].asDateTime(), std::stoll(last[1].asString())};
            if (packet.rows.size() < static_cast<std::size_t>(pageSize)) {
                break;
            }
        }
        return all;
    }
};

TEST_P(ViewStoreTest, ARangeHoldsItsFirstAndLastDayWholeInOrder) {
    insert({{"ANA", "1", "Antes", at(kSunday.addDays(-1), 23, 59)},
            {"ANA", "2", "Primeiro", at(kSunday, 0)},
            {"ANA", "10", "Meio dez", at(kSunday.addDays(3), 9)},
            {"ANA", "9", "Meio nove", at(kSunday.addDays(3), 9)},
            {"ANA", "3", "Último", at(kSunday.addDays(6), 23, 59)},
            {"ANA", "4", "Depois", at(kSunday.addDays(7), 0)}});
    insert({{"BETO", "1", "Do Beto", at(kSunday.addDays(1), 9)}});
    EXPECT_EQ(range({"", "ANA", {kSunday, kSunday.addDays(6)}, true, true}), "2 9 10 3");
    EXPECT_EQ(range({"", "ANA", {kSunday, kSunday}, true, true}), "2");
    EXPECT_EQ(range({"", "BETO", {kSunday, kSunday.addDays(6)}, true, true}), "1");
}

TEST_P(ViewStoreTest, RangeFiltersAreThoseOfTheDayList) {
    insert({{"ANA", "1", "Reunião de orçamento", at(kSunday, 9), "P"},
            {"ANA", "2", "REUNIAO GERAL", at(kSunday.addDays(2), 10), "R"},
            {"ANA", "3", "Desconto de 50%", at(kSunday.addDays(4), 11), "P"},
            {"ANA", "4", "Desconto de 500", at(kSunday.addDays(5), 12), "R"}});
    const DayRange week{kSunday, kSunday.addDays(6)};
    struct Case {
        const char* name;
        RangeFilter filter;
        const char* numbers;
    };
    const Case cases[] = {
        {"accents and case ignored", {"reuniao", "ANA", week, true, true}, "1 2"},
        {"accented filter", {"ORÇAMENTO", "ANA", week, true, true}, "1"},
        {"wildcards are literal", {"50%", "ANA", week, true, true}, "3"},
        {"pending only", {"", "ANA", week, false, true}, "1 3"},
        {"done only", {"", "ANA", week, true, false}, "2 4"},
        {"neither selects nothing", {"", "ANA", week, false, false}, ""},
        {"reference and state together", {"desconto", "ANA", week, true, false}, "4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(range(c.filter), c.numbers) << c.name;
    }
}

TEST_P(ViewStoreTest, SearchReadsReferencesAndTheWordsOfDescriptions) {
    insert({{"ANA", "1", "Reunião de orçamento", at(kSunday, 9)},
            {"ANA", "2", "Dentista", at(kSunday.addDays(40), 10), "R"},
            {"ANA", "3", "Compras", at(kSunday.addDays(-400), 11)},
            {"ANA", "4", "Ligar", at(kSunday.addDays(1), 8)}});
    insert({{"BETO", "1", "Reunião do Beto", at(kSunday, 9)}});
    describe("ANA", "3", "<html><body><p>Levar a <b>PLANILHA</b> do orçamento</p></body></html>");
    describe("ANA", "4", "Perguntar sobre a reuniao");
    describe("BETO", "1", "orçamento do Beto");
    struct Case {
        const char* name;
        const char* text;
        const char* numbers;
    };
    const Case cases[] = {
        {"reference or description, newest first", "ORCAMENTO", "1 3"},
        {"accents of the text ignored", "reunião", "4 1"},
        {"words inside markup", "planilha do", "3"},
        {"markup is not text", "body", ""},
        {"a done reminder is found too", "dentista", "2"},
        {"the empty text lists all", "", "2 4 1 3"},
        {"wildcards are literal", "%", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numbersOf(search("ANA", c.text, 50)), c.numbers) << c.name;
    }
    EXPECT_EQ(numbersOf(search("BETO", "orçamento", 50)), "1");
}

TEST_P(ViewStoreTest, AChangedOrDeletedDescriptionIsSearchedAsItIsNow) {
    insert({{"ANA", "1", "Sem pista", at(kSunday, 9)}});
    describe("ANA", "1", "Antigo texto");
    EXPECT_EQ(numbersOf(search("ANA", "antigo", 50)), "1");
    auto connection = store().lease();
    DeltaWriter(descriptionLayout(), "ANA")
        .apply(*connection, descriptionDelta({updateOf(descriptionRow("ANA", "1", "Antigo texto"),
                                                       descriptionRow("ANA", "1", "Novo Ítem"))}));
    EXPECT_EQ(numbersOf(ReminderQueries::search(*connection, {"ANA", "antigo", {}, 50})), "");
    EXPECT_EQ(numbersOf(ReminderQueries::search(*connection, {"ANA", "novo item", {}, 50})), "1");
    DeltaWriter(descriptionLayout(), "ANA")
        .apply(*connection, descriptionDelta({deleteOf(descriptionRow("ANA", "1", "Novo Ítem"))}));
    EXPECT_EQ(numbersOf(ReminderQueries::search(*connection, {"ANA", "novo", {}, 50})), "");
}

TEST_P(ViewStoreTest, PagesFollowOneAnotherWithoutGapsOrRepeats) {
    // Several reminders share a date-time: the number, in numeric order, breaks the ties.
    insert({{"ANA", "1", "Item", at(kSunday, 9)},
            {"ANA", "2", "Item", at(kSunday, 9)},
            {"ANA", "9", "Item", at(kSunday, 9)},
            {"ANA", "10", "Item", at(kSunday, 9)},
            {"ANA", "11", "Item", at(kSunday, 9)},
            {"ANA", "3", "Item", at(kSunday.addDays(1), 7)},
            {"ANA", "4", "Item", at(kSunday.addDays(-1), 7)},
            {"ANA", "5", "Outro", at(kSunday.addDays(2), 7)}});
    EXPECT_EQ(pages("ANA", "item", 3), "[3 11 10][9 2 1][4]");
    EXPECT_EQ(pages("ANA", "item", 7), "[3 11 10 9 2 1 4]");
    EXPECT_EQ(pages("ANA", "item", 1), "[3][11][10][9][2][1][4]");
    EXPECT_EQ(pages("ANA", "nada", 3), "");
    EXPECT_EQ(pages("BETO", "item", 3), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, ViewStoreTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgresql), backendName);

}  // namespace
}  // namespace lembrete::testing
