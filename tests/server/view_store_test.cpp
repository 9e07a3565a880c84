// The reads behind the week and month views and the search over all dates, on SQLite and
// PostgreSQL: the days of a range, the filters, the keys of references and descriptions, and
// pages that follow one another without a gap or a repeat.
#include <gtest/gtest.h>
#include <soci/soci.h>

#include <sstream>

#include "server/delta_writer.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/reminder_queries.h"
#include "server/search_key.h"
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

    // As many reminders "Rotina" as the scan window holds, newer than any other row, so that a
    // search of three characters or more finds the rows before them through the index.
    void fillWindow(const std::string& operatorCode, int firstNumber) {
        std::vector<ReminderValues> filler;
        for (int i = 0; i < ReminderQueries::kScanWindow; ++i) {
            filler.push_back({operatorCode, std::to_string(firstNumber + i), "Rotina",
                              at(kSunday.addDays(1000), 0, i)});
        }
        insert(filler);
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

// A search, and the check that the reminders of a description delta exist, are planned for
// their values; every other statement keeps the plan made once per connection, whose cost was
// measured to matter on the agenda's reads.
TEST_P(ViewStoreTest, StatementsPlannedForTheirValuesLeaveTheConnectionWithPlansMadeOnce) {
    if (GetParam() != Backend::Postgresql) {
        GTEST_SKIP() << "SQLite plans each statement once when it is prepared";
    }
    insert({{"ANA", "1", "Reunião de orçamento", at(kSunday, 9)}});
    auto connection = store().lease();
    const auto planMode = [&] {
        std::string mode;
        connection->session() << "SHOW plan_cache_mode", soci::into(mode);
        return mode;
    };
    ASSERT_EQ(planMode(), "force_generic_plan");
    for (const char* text : {"orcamento", "or", ""}) {
        EXPECT_EQ(numbersOf(ReminderQueries::search(*connection, {"ANA", text, {}, 50})), "1")
            << text;
        EXPECT_EQ(planMode(), "force_generic_plan") << text;
    }
    DeltaWriter(descriptionLayout(), "ANA")
        .apply(*connection, descriptionDelta({insertOf(descriptionRow("ANA", "1", "Pauta"))}));
    EXPECT_EQ(planMode(), "force_generic_plan") << "after a description delta";
    EXPECT_EQ(numbersOf(ReminderQueries::search(*connection, {"ANA", "pauta", {}, 50})), "1");
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

TEST_P(ViewStoreTest, TheIndexAndTheScanFindWhatASubstringMatchFinds) {
    // Rows past the scan window, found through the index (three characters or more) or by
    // reading the keys (fewer), and the same rows within the window, found by reading.
    const std::vector<std::pair<std::string, std::string>> written = {
        {"Reunião de orçamento", "Levar a planilha"},
        {"Dentista às 9h", ""},
        {"Pagar 50% da conta", "Boleto \"segunda via\""},
        {"Ligar para o João", "Perguntar sobre a reuniao do ano"},
        {"Ação de graças", "xy"},
    };
    const auto remember = [&](int firstNumber, Date day) {
        std::vector<ReminderValues> reminders;
        for (std::size_t i = 0; i < written.size(); ++i) {
            reminders.push_back({"ANA", std::to_string(firstNumber + static_cast<int>(i)),
                                 written[i].first, at(day, 9 + static_cast<int>(i))});
        }
        insert(reminders);
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (!written[i].second.empty()) {
                describe("ANA", std::to_string(firstNumber + static_cast<int>(i)),
                         written[i].second);
            }
        }
    };
    remember(1, kSunday.addDays(-400));
    insert({{"BETO", "1", "Reunião do Beto", at(kSunday.addDays(-400), 9)}});
    fillWindow("ANA", 100);
    remember(2000, kSunday.addDays(2000));
    for (const std::string text :
         {"reuniao", "ORÇAMENTO", "planilha", "50%", "segunda via\"", "\"seg", "João", "ano", "ao",
          "a", "xy", "9h", "as 9", "de graças", "o do", "nada disso", "%"}) {
        // The matches are those of the keys, newest first: the window's then the older ones.
        std::string expected;
        for (const int first : {2000, 1}) {
            for (int i = static_cast<int>(written.size()) - 1; i >= 0; --i) {
                const auto& [reference, description] = written[static_cast<std::size_t>(i)];
                if (searchKey(reference).find(searchKey(text)) != std::string::npos ||
                    descriptionSearchKey(description).find(searchKey(text)) != std::string::npos) {
                    expected += (expected.empty() ? "" : " ") + std::to_string(first + i);
                }
            }
        }
        if (searchKey("rotina").find(searchKey(text)) != std::string::npos) {
            continue;  // the filler fills the page
        }
        EXPECT_EQ(numbersOf(search("ANA", text, 50)), expected) << text;
    }
    EXPECT_EQ(pages("ANA", "ao", 3), "[2004 2003 2000][5 4 1]");
    EXPECT_EQ(numbersOf(search("BETO", "reuniao", 50)), "1");
}

TEST_P(ViewStoreTest, PagesGoOnPastTheScanWindowWithoutGapsOrRepeats) {
    insert({{"ANA", "1", "Conta velha", at(kSunday.addDays(-1), 9)},
            {"ANA", "2", "Conta antiga", at(kSunday.addDays(-2), 9)}});
    fillWindow("ANA", 10);
    insert({{"ANA", "5000", "Conta nova", at(kSunday.addDays(2000), 9)}});
    std::string rotinas;
    for (int number = 10 + ReminderQueries::kScanWindow - 1; number >= 10; --number) {
        rotinas += " " + std::to_string(number);
    }
    // 1,003 rows of "o" newest first: the page that holds the window's last row goes on past it.
    const auto all = pages("ANA", "o", 150);
    std::string numbers;
    for (const char c : all) {
        numbers += c == '[' || c == ']' ? ' ' : c;
    }
    std::string joined;
    std::istringstream words(numbers);
    for (std::string word; words >> word;) {
        joined += " " + word;
    }
    EXPECT_EQ(joined, " 5000" + rotinas + " 1 2");
    EXPECT_EQ(pages("ANA", "conta", 2), "[5000 1][2]");
}

TEST_P(ViewStoreTest, EveryWriteOfAKeyIsSearchedAsItIsNow) {
    insert(
        {{"ANA", "1", "Primeiro nome", at(kSunday, 9)}, {"ANA", "2", "Segundo", at(kSunday, 10)}});
    insert({{"BETO", "1", "Primeiro do Beto", at(kSunday, 9)}});
    describe("ANA", "2", "Descrição original");
    describe("BETO", "1", "original do Beto");
    fillWindow("ANA", 100);
    fillWindow("BETO", 100);
    const auto found = [&](const std::string& operatorCode, const std::string& text) {
        return numbersOf(search(operatorCode, text, 50));
    };
    ASSERT_EQ(found("ANA", "primeiro"), "1");
    ASSERT_EQ(found("ANA", "original"), "2");
    auto connection = store().lease();
    DeltaWriter(reminderLayout(), "ANA")
        .apply(
            *connection,
            reminderDelta({updateOf(reminderRow({"ANA", "1", "Primeiro nome", at(kSunday, 9)}),
                                    reminderRow({"ANA", "1", "Outro título", at(kSunday, 9)}))}));
    EXPECT_EQ(found("ANA", "primeiro"), "");
    EXPECT_EQ(found("ANA", "outro tit"), "1");
    DeltaWriter(descriptionLayout(), "ANA")
        .apply(*connection,
               descriptionDelta({updateOf(descriptionRow("ANA", "2", "Descrição original"),
                                          descriptionRow("ANA", "2", "Texto trocado"))}));
    EXPECT_EQ(found("ANA", "original"), "");
    EXPECT_EQ(found("ANA", "trocado"), "2");
    // A reminder deleted takes its description along, and both keys leave the search.
    DeltaWriter(reminderLayout(), "ANA")
        .apply(*connection,
               reminderDelta({deleteOf(reminderRow({"ANA", "2", "Segundo", at(kSunday, 10)}))}));
    EXPECT_EQ(found("ANA", "trocado"), "");
    EXPECT_EQ(found("ANA", "segundo"), "");
    // A number used again starts with no description.
    NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 1);
    DeltaWriter(reminderLayout(), "ANA")
        .apply(*connection, reminderDelta({insertOf(
                                reminderRow({"ANA", "2", "Segundo de novo", at(kSunday, 10)}))}));
    EXPECT_EQ(found("ANA", "trocado"), "");
    EXPECT_EQ(found("ANA", "de novo"), "2");
    OperatorAccounts::add(*connection, "BETO", "senha-do-beto");
    OperatorAccounts::remove(*connection, "BETO");
    EXPECT_EQ(found("BETO", "primeiro"), "");
    EXPECT_EQ(found("BETO", "original"), "");
    EXPECT_EQ(found("ANA", "outro"), "1");
}

INSTANTIATE_TEST_SUITE_P(Backends, ViewStoreTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgresql), backendName);

}  // namespace
}  // namespace lembrete::testing
