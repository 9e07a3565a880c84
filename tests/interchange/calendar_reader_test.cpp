#include "interchange/calendar_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace lembrete {
namespace {

const std::string kZone = "America/Sao_Paulo";

std::string dataFile(const std::string& name) {
    std::ifstream stream(std::string(LEMBRETE_ICS_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(stream) << name;
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

CalendarContents read(const std::string& name) {
    return CalendarReader(kZone).read(dataFile(name));
}

// "dd/mm/yyyy HH:MM" of every entry, in order.
std::vector<std::string> starts(const CalendarContents& contents) {
    std::vector<std::string> result;
    for (const auto& entry : contents.entries) {
        result.push_back(entry.start.format().substr(0, 16));
    }
    return result;
}

struct RecurrenceCase {
    const char* file;
    std::vector<std::string> starts;
};

class CalendarReaderRecurrence : public ::testing::TestWithParam<RecurrenceCase> {};

// Local times in São Paulo (UTC-3): New York is UTC-4 until 2 November 2025, then UTC-5.
INSTANTIATE_TEST_SUITE_P(
    Examples, CalendarReaderRecurrence,
    ::testing::Values(RecurrenceCase{"daily_count10.ics",
                                     {"02/09/2025 10:00", "03/09/2025 10:00", "04/09/2025 10:00",
                                      "05/09/2025 10:00", "06/09/2025 10:00", "07/09/2025 10:00",
                                      "08/09/2025 10:00", "09/09/2025 10:00", "10/09/2025 10:00",
                                      "11/09/2025 10:00"}},
                      RecurrenceCase{"biweekly_tue_thu.ics",
                                     {"02/09/2025 10:00", "04/09/2025 10:00", "16/09/2025 10:00",
                                      "18/09/2025 10:00", "30/09/2025 10:00", "02/10/2025 10:00",
                                      "14/10/2025 10:00", "16/10/2025 10:00", "28/10/2025 10:00",
                                      "30/10/2025 10:00", "11/11/2025 11:00", "13/11/2025 11:00",
                                      "25/11/2025 11:00", "27/11/2025 11:00", "09/12/2025 11:00",
                                      "11/12/2025 11:00", "23/12/2025 11:00"}},
                      RecurrenceCase{"monthly_last_friday.ics",
                                     {"31/01/2025 17:00", "28/02/2025 17:00", "28/03/2025 17:00",
                                      "25/04/2025 17:00", "30/05/2025 17:00", "27/06/2025 17:00"}},
                      RecurrenceCase{"yearly_june_july_exdate.ics",
                                     {"10/06/2025 10:00", "10/07/2025 10:00", "10/06/2026 10:00",
                                      "10/06/2027 10:00", "10/07/2027 10:00", "10/06/2028 10:00",
                                      "10/07/2028 10:00", "10/06/2029 10:00", "10/07/2029 10:00"}},
                      RecurrenceCase{"override_and_rdate.ics",
                                     {"03/03/2025 09:00", "05/03/2025 14:00", "11/03/2025 10:00",
                                      "17/03/2025 09:00"}}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

TEST_P(CalendarReaderRecurrence, ExpandsTheRuleIntoItsOccurrences) {
    const auto contents = read(GetParam().file);
    EXPECT_EQ(starts(contents), GetParam().starts);
    EXPECT_TRUE(contents.refused.empty());
    // One series, each occurrence known by the event's UID and its own start.
    std::set<std::string> occurrences;
    for (const auto& entry : contents.entries) {
        EXPECT_EQ(entry.series, contents.entries.front().uid);
        occurrences.insert(entry.occurrence);
    }
    EXPECT_EQ(occurrences.size(), contents.entries.size());
}

TEST(CalendarReader, RunsAnOpenRuleToTheHorizonOfASeriesWithoutEnd) {
    const auto contents = read("weekly_open.ics");
    ASSERT_EQ(contents.entries.size(), 574u);
    EXPECT_EQ(starts(contents).front(), "06/01/2025 08:00");
    EXPECT_EQ(starts(contents).back(), "31/12/2035 08:00");
}

// A bounded rule that goes on past 2099 keeps what falls before and says how many it loses.
TEST(CalendarReader, CountsTheOccurrencesABoundedRuleLosesPast2099) {
    const struct {
        const char* rule;
        std::size_t kept;
        int lost;
    } cases[] = {
        {"FREQ=YEARLY;COUNT=10", 2, 8},
        {"FREQ=YEARLY;UNTIL=21041231T000000Z", 2, 5},
        {"FREQ=MONTHLY;UNTIL=21001231T000000Z", 24, 12},
        {"FREQ=YEARLY;COUNT=2", 2, 0},
    };
    for (const auto& one : cases) {
        const auto contents = CalendarReader("UTC").read(
            std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\n"
                        "UID:u\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20980105T090000Z\r\n"
                        "RRULE:") +
            one.rule + "\r\nSUMMARY:Longa\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        EXPECT_EQ(contents.entries.size(), one.kept) << one.rule;
        if (one.lost == 0) {
            EXPECT_TRUE(contents.refused.empty()) << one.rule;
            continue;
        }
        ASSERT_EQ(contents.refused.size(), 1u) << one.rule;
        EXPECT_EQ(contents.refused[0].count, one.lost) << one.rule;
        EXPECT_EQ(contents.refused[0].reason,
                  "repete-se depois de 31/12/2099; essas ocorrências não serão importadas");
    }
}

TEST(CalendarReader, ConvertsEveryKindOfStartToLocalTime) {
    const auto contents = read("zones_and_all_day.ics");
    std::map<std::string, std::string> byUid;
    for (const auto& entry : contents.entries) {
        byUid[entry.uid] = entry.start.format().substr(0, 16);
        EXPECT_EQ(entry.occurrence, "");
        EXPECT_EQ(entry.series, "");
    }
    EXPECT_EQ(byUid, (std::map<std::string, std::string>{
                         {"utc@teste", "01/03/2025 09:00"},
                         {"europa@teste", "15/01/2025 06:00"},
                         {"tokyo@teste", "19/01/2025 21:00"},
                         {"flutuante@teste", "10/02/2025 07:30"},
                         {"dia-todo@teste", "15/04/2025 00:00"},
                     }));
    ASSERT_EQ(contents.refused.size(), 1u);
    EXPECT_EQ(contents.refused[0].event, "Fuso inexistente");
    EXPECT_EQ(contents.refused[0].reason, "o fuso horário Marte/Olimpo é desconhecido");
}

TEST(CalendarReader, TakesToDosStatesPrioritiesAndTheFirstAlarm) {
    const auto contents = read("todo_alarm_and_refusals.ics");
    std::map<std::string, CalendarEntry> byUid;
    for (const auto& entry : contents.entries) {
        byUid[entry.uid] = entry;
    }
    const auto summary = [&](const std::string& uid) {
        const auto& e = byUid.at(uid);
        return e.start.format().substr(0, 16) + (e.done ? " feito" : " pendente") +
               " prio=" + e.priority +
               (e.alarm ? " alarme " + (e.lead ? std::to_string(*e.lead) : "-") + e.unit
                        : " sem alarme");
    };
    EXPECT_EQ(summary("tarefa@teste"), "20/05/2025 18:00 feito prio=1 sem alarme");
    EXPECT_EQ(byUid.at("tarefa@teste").description, "Relatório mensal, versão final");
    EXPECT_EQ(summary("tarefa-aberta@teste"), "21/05/2025 09:00 pendente prio=999 alarme 15S");
    EXPECT_EQ(summary("dois-dias@teste"), "01/06/2025 10:00 pendente prio=500 alarme 2D");
    EXPECT_EQ(summary("absoluto@teste"), "02/06/2025 10:00 pendente prio= alarme 2M");
    EXPECT_EQ(summary("noventa@teste"), "03/06/2025 10:00 pendente prio= alarme 90S");

    ASSERT_EQ(contents.longReferences.size(), 1u);
    EXPECT_EQ(contents.entries[contents.longReferences[0]].uid, "longo@teste");

    std::vector<std::string> refused;
    for (const auto& refusal : contents.refused) {
        refused.push_back(refusal.event + ": " + refusal.reason + " x" +
                          std::to_string(refusal.count));
    }
    EXPECT_EQ(refused, (std::vector<std::string>{
                           "Antes de 2000: data fora do período aceito (01/01/2000 a "
                           "31/12/2099) x1",
                           "Reunião cancelada (04/06/2025 10:00): foi cancelado x1",
                       }));
}

struct BrokenCase {
    const char* name;
    std::string text;
    const char* message;
};

class CalendarReaderBroken : public ::testing::TestWithParam<BrokenCase> {};

INSTANTIATE_TEST_SUITE_P(
    Files, CalendarReaderBroken,
    ::testing::Values(
        BrokenCase{"Empty", dataFile("empty.ics"), "O arquivo está vazio. Nada foi importado."},
        BrokenCase{"Blank", "  \r\n\r\n", "O arquivo está vazio. Nada foi importado."},
        BrokenCase{"Binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
                   "O arquivo não é um texto iCalendar (.ics): parece ser um arquivo binário. "
                   "Nada foi importado."},
        BrokenCase{"BadUtf8", "BEGIN:VCALENDAR\r\nX:\xff\xfe\r\nEND:VCALENDAR\r\n",
                   "O arquivo não é um texto iCalendar (.ics): parece ser um arquivo binário. "
                   "Nada foi importado."},
        BrokenCase{"NotACalendar", dataFile("not_a_calendar.ics"),
                   "O arquivo não é um calendário iCalendar (.ics): ele deve começar com "
                   "BEGIN:VCALENDAR. Nada foi importado."},
        BrokenCase{"Truncated", dataFile("truncated.ics"),
                   "O arquivo iCalendar está incompleto ou corrompido: falta o END:VCALENDAR "
                   "final. Nada foi importado."},
        BrokenCase{"NoEvents", dataFile("no_events.ics"),
                   "O arquivo não traz eventos (VEVENT) nem tarefas (VTODO) para importar."},
        BrokenCase{"TooLarge",
                   "BEGIN:VCALENDAR\r\n" + std::string(CalendarReader::kMaxFileBytes, 'x') +
                       "\r\nEND:VCALENDAR\r\n",
                   "O arquivo tem 20 MB; o limite para importar é de 20 MB. Divida-o em "
                   "arquivos menores. Nada foi importado."},
        BrokenCase{"TooManyOccurrences",
                   "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:m\r\n"
                   "DTSTAMP:20250101T000000Z\r\nDTSTART:20250101T000000\r\n"
                   "RRULE:FREQ=MINUTELY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
                   "O arquivo gera mais de 100000 lembretes; divida-o em arquivos menores. "
                   "Nada foi importado."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(CalendarReaderBroken, RefusesTheWholeFileWithAMessage) {
    try {
        CalendarReader(kZone).read(GetParam().text);
        FAIL() << "lido sem erro";
    } catch (const CalendarFileError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

TEST(CalendarReader, RefusesAnEventWhoseStartIsGarbled) {
    const auto contents = read("garbled.ics");
    EXPECT_TRUE(contents.entries.empty());
    ASSERT_EQ(contents.refused.size(), 1u);
    EXPECT_EQ(contents.refused[0].event, "Quebrado");
    EXPECT_EQ(contents.refused[0].reason, "não tem data de início válida");
}

}  // namespace
}  // namespace lembrete
