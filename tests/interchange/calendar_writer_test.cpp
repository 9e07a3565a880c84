#include "interchange/calendar_writer.h"

#include <gtest/gtest.h>

#include "interchange/calendar_reader.h"
#include "interchange/strict_parse.h"

namespace lembrete {
namespace {

const std::string kZone = "America/Sao_Paulo";
const DateTime kStamp = DateTime::fromParts({2026, 12, 9}, 1, 2, 3);

DateTime at(int year, int month, int day, int hour, int minute = 0) {
    return DateTime::fromParts({static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                                static_cast<std::uint16_t>(day)},
                               hour, minute);
}

// Every kind of reminder the editor makes, as exported.
std::vector<CalendarEntry> everyKind() {
    std::vector<CalendarEntry> entries;
    CalendarEntry single;
    single.uid = "lembrete-ANA-1";
    single.reference = "Consulta";
    single.start = at(2026, 12, 10, 9, 30);
    single.priority = "5";
    single.unit = "S";
    entries.push_back(single);
    CalendarEntry withAlarm = single;
    withAlarm.uid = "lembrete-ANA-2";
    withAlarm.reference = "Com aviso de 15 minutos; vírgula, ponto";
    withAlarm.alarm = true;
    withAlarm.lead = 15;
    entries.push_back(withAlarm);
    for (const auto& [unit, lead] : {std::pair{"M", 24}, std::pair{"D", 1000}}) {
        CalendarEntry other = withAlarm;
        other.uid = "lembrete-ANA-" + std::to_string(entries.size() + 1);
        other.unit = unit;
        other.lead = lead;
        entries.push_back(other);
    }
    CalendarEntry atEvent = single;
    atEvent.uid = "lembrete-ANA-5";
    atEvent.alarm = true;
    atEvent.unit = "";
    entries.push_back(atEvent);
    CalendarEntry done = single;
    done.uid = "lembrete-ANA-6";
    done.done = true;
    done.priority = "";
    entries.push_back(done);
    CalendarEntry rich = single;
    rich.uid = "lembrete-ANA-7";
    rich.description = "<html><body><p><b>Negrito</b> e " + std::string(2000, 'x') +
                       "</p><p>ç ã é</p></body></html>";
    rich.priority = "999";
    entries.push_back(rich);
    for (int i = 0; i < 3; ++i) {
        CalendarEntry weekly = single;
        weekly.uid = "lembrete-ANA-" + std::to_string(8 + i);
        weekly.series = "lembrete-ANA-serie-4";
        weekly.start = at(2026, 12, 14 + 7 * i, 8);
        entries.push_back(weekly);
    }
    return entries;
}

TEST(CalendarWriter, WritesWhatLibicalAndAnIndependentParserReadStrictly) {
    const auto text = CalendarWriter(kZone, kStamp).write(everyKind());
    EXPECT_EQ(testing::libicalProblems(text), std::vector<std::string>{});
    EXPECT_EQ(testing::independentEventCount(text), static_cast<int>(everyKind().size()));
}

// `text` with its folded lines joined again.
std::string unfolded(std::string text) {
    for (auto at = text.find("\r\n "); at != std::string::npos; at = text.find("\r\n ", at)) {
        text.erase(at, 3);
    }
    return text;
}

TEST(CalendarWriter, NamesTheLocalZoneAndTiesSeriesAndAlarms) {
    const auto text = unfolded(CalendarWriter(kZone, kStamp).write(everyKind()));
    for (const char* expected : {
             "BEGIN:VTIMEZONE\r\nTZID:America/Sao_Paulo\r\n",
             "DTSTART;TZID=America/Sao_Paulo:20261210T093000\r\n",
             "DTSTAMP:20261209T010203Z\r\n",
             "UID:lembrete-ANA-2\r\n",
             "SUMMARY:Com aviso de 15 minutos\\; vírgula\\, ponto\r\n",
             "TRIGGER:-PT15M\r\n",
             "TRIGGER:-PT24H\r\n",
             "TRIGGER:-P1000D\r\n",
             "TRIGGER:PT0S\r\n",
             "RELATED-TO;RELTYPE=SIBLING:lembrete-ANA-serie-4\r\n",
             "X-LEMBRETE-SITUACAO:R\r\n",
             "PRIORITY:1\r\n",
             "PRIORITY:9\r\n",
             "X-ALT-DESC;FMTTYPE=text/html:",
             "DESCRIPTION:Negrito e "
             "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
             "\\nç ã é\r\nX-ALT-DESC",
         }) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
    // One alarm per reminder whose alarm is on.
    std::size_t alarms = 0;
    for (auto at = text.find("BEGIN:VALARM"); at != std::string::npos;
         at = text.find("BEGIN:VALARM", at + 1)) {
        ++alarms;
    }
    EXPECT_EQ(alarms, 4u);
}

TEST(CalendarWriter, WritesTheSameTextForTheSameReminders) {
    const CalendarWriter writer(kZone, kStamp);
    EXPECT_EQ(writer.write(everyKind()), writer.write(everyKind()));
}

TEST(CalendarWriter, RefusesAnUnknownZone) {
    EXPECT_THROW(CalendarWriter("Marte/Olimpo", kStamp), std::invalid_argument);
}

TEST(CalendarWriter, WritesUtcTimesWithoutAZoneDefinition) {
    const auto text = CalendarWriter("UTC", kStamp).write(everyKind());
    EXPECT_EQ(text.find("BEGIN:VTIMEZONE"), std::string::npos);
    EXPECT_NE(text.find("DTSTART:20261210T093000Z\r\n"), std::string::npos);
    EXPECT_EQ(testing::libicalProblems(text), std::vector<std::string>{});
}

TEST(CalendarWriter, ReadsBackEveryKindOfReminderAsWritten) {
    const auto written = everyKind();
    auto read = CalendarReader(kZone).read(CalendarWriter(kZone, kStamp).write(written));
    ASSERT_EQ(read.entries.size(), written.size());
    EXPECT_TRUE(read.refused.empty());
    for (std::size_t i = 0; i < written.size(); ++i) {
        CalendarEntry expected = written[i];
        if (!expected.alarm) {
            expected.lead.reset();
            expected.unit = "";
        }
        EXPECT_EQ(read.entries[i], expected) << expected.uid;
    }
}

}  // namespace
}  // namespace lembrete
