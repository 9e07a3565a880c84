#include "recurrence/recurrence_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "recurrence/recurrence_messages.h"
#include "recurrence/rule_text.h"

namespace lembrete {
namespace {

using test::day;
using test::rule;

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// A message table over the recurrence lines that, like the editor's, ignores the case of keys;
// an unknown key fails the test instead of reading as an empty text.
MessageLookup messageTable() {
    std::map<std::string, std::string> table;
    for (std::string_view line : kRecurrenceMessageLines) {
        auto bar = line.find('|');
        table[upper(line.substr(0, bar))] = std::string(line.substr(bar + 1));
    }
    return [table](std::string_view key) {
        auto found = table.find(upper(key));
        if (found == table.end()) {
            throw std::out_of_range("no message " + std::string(key));
        }
        return found->second;
    };
}

TEST(RecurrenceMessages, EveryLineIsAKeyAndTextWithUniqueKeys) {
    std::set<std::string> keys;
    for (std::string_view line : kRecurrenceMessageLines) {
        auto bar = line.find('|');
        ASSERT_NE(bar, std::string_view::npos) << line;
        EXPECT_GT(bar, 0u) << line;
        EXPECT_LT(bar + 1, line.size()) << line;
        EXPECT_TRUE(keys.insert(upper(line.substr(0, bar))).second) << line;
    }
    EXPECT_EQ(messageTable()("SEMANA_DIA"), "Selecione ao menos um dia da semana.");
    EXPECT_EQ(messageTable()("TMes"), "de todo mês.");
}

struct SummaryCase {
    int kind;
    const char* interval;
    const char* start;
    const char* weekdays;
    MonthlyMode mode;
    const char* expected;
};

constexpr MonthlyMode kByDate = MonthlyMode::ByDate;
constexpr MonthlyMode kByWeekday = MonthlyMode::ByWeekday;

TEST(RecurrenceSummary, EveryForm) {
    const SummaryCase cases[] = {
        {1, "1", "16/07/2007", "", kByDate, "Todos os dias."},
        {1, "2", "16/07/2007", "", kByDate, "Do outro dia."},
        {1, "2", "29/02/2008", "26", kByWeekday, "Do outro dia."},
        {1, "3", "16/07/2007", "", kByDate, "Do 3º dia."},
        {1, "99", "16/07/2007", "", kByDate, "Do 99º dia."},
        {2, "1", "16/07/2007", "24", kByDate, "Todo(a) seg, qua"},
        {2, "1", "16/07/2007", "1234567", kByDate, "Todo(a) dom, seg, ter, qua, qui, sex, sab"},
        {2, "2", "16/07/2007", "24", kByDate, "A(o) seg, qua da semana seguinte."},
        {2, "3", "16/07/2007", "24", kByDate, "A(o) seg, qua da 3º semana."},
        {2, "1", "16/07/2007", "", kByDate, ""},
        {2, "3", "16/07/2007", "", kByDate, ""},
        {3, "1", "16/07/2007", "", kByDate, "16º dia de todo mês."},
        {3, "2", "16/07/2007", "", kByDate, "16º dia do mês seguinte."},
        {3, "3", "16/07/2007", "", kByDate, "16º dia do 3º mês."},
        {3, "1", "01/07/2007", "", kByDate, "1º dia de todo mês."},
        {3, "1", "16/07/2007", "", kByWeekday, "3ª Segunda de todo mês."},
        {3, "2", "16/07/2007", "", kByWeekday, "3ª Segunda do mês seguinte."},
        {3, "3", "16/07/2007", "", kByWeekday, "3ª Segunda do 3º mês."},
        {3, "1", "29/07/2007", "", kByWeekday, "5ª Domingo de todo mês."},
        {3, "1", "30/07/2007", "", kByWeekday, "5ª Segunda de todo mês."},
        {3, "1", "31/07/2007", "", kByWeekday, "5ª Terça de todo mês."},
        {3, "1", "01/08/2007", "", kByWeekday, "1ª Quarta de todo mês."},
        {3, "12", "25/08/2007", "", kByWeekday, "4ª Sábado do 12º mês."},
        {4, "1", "16/07/2007", "", kByDate, "16 de Julho de todo ano."},
        {4, "2", "16/07/2007", "", kByDate, "16 de Julho do ano seguinte"},
        {4, "3", "16/07/2007", "", kByDate, "16 de Julho do 3º ano"},
        {4, "1", "05/03/2008", "", kByWeekday, "5 de Março de todo ano."},
        {0, "1", "16/07/2007", "26", kByDate, ""},
        {5, "1", "16/07/2007", "26", kByDate, ""},
        {-1, "1", "16/07/2007", "26", kByDate, ""},
        {1000, "1", "16/07/2007", "26", kByDate, ""},
    };
    RecurrenceSummary summary(messageTable());
    for (const auto& c : cases) {
        auto text = summary.ControlaInfo(c.kind, c.interval, day(c.start),
                                         rule("D", 1, c.weekdays, c.mode));
        ASSERT_TRUE(text.has_value()) << c.expected;
        EXPECT_EQ(*text, c.expected) << "kind " << c.kind << " N=" << c.interval << " " << c.start;
    }
}

TEST(RecurrenceSummary, NoSummaryWhileTheIntervalIsNotAWholeNumber) {
    RecurrenceSummary summary(messageTable());
    for (std::string_view typed :
         {"", "a", "1a", " 1", "1 ", "-1", "+1", "0", "100", "1.5", "99999999999"}) {
        for (int kind = 1; kind <= 4; ++kind) {
            EXPECT_EQ(summary.ControlaInfo(kind, typed, day("16/07/2007"), rule("S", 1, "2")),
                      std::nullopt)
                << "kind " << kind << " typed '" << typed << "'";
        }
    }
}

TEST(RecurrenceSummary, PartsOnTheirOwn) {
    RecurrenceSummary summary(messageTable());
    EXPECT_EQ(summary.DiasRepetSemana(rule("S", 1)), "");
    EXPECT_EQ(summary.DiasRepetSemana(rule("S", 1, "246")), "seg, qua, sex");
    EXPECT_EQ(summary.DiasRepetSemana(rule("S", 1, "71")), "dom, sab");
    EXPECT_EQ(summary.Mensal(16, 3, day("16/07/2007"), rule("M", 1)), "16º dia do 3º mês.");
    EXPECT_EQ(summary.Mensal(16, 1, day("16/07/2007"), rule("M", 1, "", kByWeekday)),
              "3ª Segunda de todo mês.");
}

TEST(RecurrenceSummary, StartHeader) {
    RecurrenceSummary summary(messageTable());
    EXPECT_EQ(summary.startHeader(day("16/07/2007")), "Inicia em 16 de Julho de 2007");
    EXPECT_EQ(summary.startHeader(day("01/03/2008")), "Inicia em 1 de Março de 2008");
    EXPECT_EQ(summary.startHeader(day("31/12/2099")), "Inicia em 31 de Dezembro de 2099");
}

}  // namespace
}  // namespace lembrete
