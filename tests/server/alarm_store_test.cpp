// The alarm calls on the real lembrete-server: two desktops of one operator sharing dismissals
// and snoozes, edits that arm an alarm again, done and deleted reminders that go silent, the
// operator checks, the change count, and a database made before alarm times were kept.
#include <gtest/gtest.h>
#include <soci/soci.h>

#include "alarm/alarm_time.h"
#include "net/alarm_contract.h"
#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "support/old_schemas.h"
#include "support/reminder_deltas.h"
#include "support/rpc_checks.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

using namespace alarm_contract;

const DateTime kEvent = DateTime::fromParts({2026, 6, 15}, 14, 30);

DateTime minutesAfterEvent(int minutes) {
    return shiftedBy(kEvent, std::chrono::minutes(minutes));
}

class AlarmStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
        server_.start();
        ana_ = client("ANA");
    }

    std::unique_ptr<JsonRpcAppServer> client(const std::string& operatorCode) {
        return loggedInClient(server_.port(), operatorCode,
                              operatorCode == "ANA" ? "senha-da-ana" : "senha-do-beto");
    }

    // A new reminder of ANA at `when`, its alarm `lead` `unit` before; returns its row.
    Row add(const std::string& reference, DateTime when, Variant lead, const std::string& unit,
            const std::string& alarm = "S") {
        const auto number = okPayload(ana_->call("GetPrxAtivPessoal", {"ANA"})).asString();
        Row row = reminderRow({"ANA", number, reference, when, "P", alarm, lead, unit});
        okPayload(ana_->call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))}));
        return row;
    }

    void change(const Row& before, const Row& after) {
        okPayload(ana_->call("SetAfazer", {Variant(reminderDelta({updateOf(before, after)}))}));
    }

    // "number reference alarm-time" per due alarm, joined by "; ".
    static std::string due(JsonRpcAppServer& connection, DateTime until) {
        const auto packet =
            okPayload(connection.call(kGetAlarms, {"ANA", Variant(until)})).asPacket();
        std::string text;
        for (const auto& row : packet.rows) {
            text += (text.empty() ? "" : "; ") + row[1].asString() + " " + row[2].asString() + " " +
                    row[4].asDateTime().formatTime();
        }
        return text;
    }

    static Variant snooze(JsonRpcAppServer& connection, const Row& row, Variant until) {
        return okPayload(connection.call(kSetAlarm, {"ANA", row[1], until}));
    }

    ServerProcess server_;
    std::unique_ptr<JsonRpcAppServer> ana_;
};

TEST_F(AlarmStoreTest, DueAlarmsComeInTheOrderTheyRingWithTheirFields) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    add("Relatório", minutesAfterEvent(-60), 1, "M");
    add("Na hora", kEvent, {}, "");
    add("Sem alarme", kEvent, 5, "S", "N");
    add("Depois", minutesAfterEvent(10), 5, "S");
    EXPECT_EQ(due(*ana_, kEvent), "2 Relatório 12:30:00; 1 Reunião 14:28:00; 3 Na hora 14:30:00");

    const auto packet = okPayload(ana_->call(kGetAlarms, {"ANA", Variant(kEvent)})).asPacket();
    std::string fields;
    for (const auto& field : packet.fields) {
        fields += field.name + " ";
    }
    EXPECT_EQ(fields, "CDOPERADOR NRATIVPESS DSREFEATPESS DTATIVPESS DTALARME ");
    EXPECT_EQ(packet.rows[1][0], Variant("ANA"));
    EXPECT_EQ(packet.rows[1][3], Variant(kEvent));
    EXPECT_EQ(due(*ana_, minutesAfterEvent(-3)), "2 Relatório 12:30:00");
}

TEST_F(AlarmStoreTest, ADismissalOnOneDesktopIsSeenByTheOther) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    const Row call = add("Ligação", kEvent, 1, "S");
    auto other = client("ANA");
    EXPECT_EQ(due(*other, kEvent), "1 Reunião 14:28:00; 2 Ligação 14:29:00");
    EXPECT_EQ(snooze(*ana_, meeting, {}), Variant(1));
    EXPECT_EQ(due(*other, kEvent), "2 Ligação 14:29:00");
    // Restarted, the server still knows.
    server_.stop();
    server_.start();
    other = client("ANA");
    EXPECT_EQ(due(*other, minutesAfterEvent(60)), "2 Ligação 14:29:00");
}

TEST_F(AlarmStoreTest, ASnoozeHidesTheAlarmUntilItEnds) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    EXPECT_EQ(snooze(*ana_, meeting, Variant(minutesAfterEvent(5))), Variant(1));
    EXPECT_EQ(due(*ana_, minutesAfterEvent(1)), "");
    EXPECT_EQ(due(*ana_, minutesAfterEvent(5)), "1 Reunião 14:35:00");
    // A dismissal ends the snoozed alarm too.
    EXPECT_EQ(snooze(*ana_, meeting, {}), Variant(1));
    EXPECT_EQ(due(*ana_, minutesAfterEvent(600)), "");
}

TEST_F(AlarmStoreTest, EditingDateTimeOrAlarmArmsItAgainAndOtherEditsDoNot) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    snooze(*ana_, meeting, {});

    Row renamed = meeting;
    renamed[2] = Variant("Reunião de equipe");
    change(meeting, renamed);
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "");

    Row later = renamed;
    later[3] = Variant(minutesAfterEvent(30));
    change(renamed, later);
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "1 Reunião de equipe 14:58:00");

    snooze(*ana_, later, {});
    Row longerLead = later;
    longerLead[6] = Variant(1.0);
    longerLead[7] = Variant("M");
    change(later, longerLead);
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "1 Reunião de equipe 14:00:00");
}

TEST_F(AlarmStoreTest, DoneAlarmOffAndDeletedRemindersGoSilent) {
    const Row done = add("Feito", kEvent, 2, "S");
    const Row silenced = add("Silenciado", kEvent, 2, "S");
    const Row deleted = add("Excluído", kEvent, 2, "S");
    Row doneAfter = done;
    doneAfter[4] = Variant("R");
    doneAfter[5] = Variant("N");
    change(done, doneAfter);
    Row silencedAfter = silenced;
    silencedAfter[5] = Variant("N");
    change(silenced, silencedAfter);
    okPayload(ana_->call("SetAfazer", {Variant(reminderDelta({deleteOf(deleted)}))}));
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "");

    // A snooze from a desktop that had not heard yet changes nothing.
    EXPECT_EQ(snooze(*ana_, done, Variant(minutesAfterEvent(5))), Variant(0));
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "");
    EXPECT_EQ(errorCode(ana_->call(kSetAlarm, {"ANA", deleted[1], {}})), rpc_error::InvalidValue);

    // Pending again, its alarm stays off until it is turned on.
    Row pendingAgain = doneAfter;
    pendingAgain[4] = Variant("P");
    change(doneAfter, pendingAgain);
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "");
    Row alarmOn = pendingAgain;
    alarmOn[5] = Variant("S");
    change(pendingAgain, alarmOn);
    EXPECT_EQ(due(*ana_, minutesAfterEvent(60)), "1 Feito 14:28:00");
}

TEST_F(AlarmStoreTest, AnotherOperatorCanNeitherSeeNorChangeTheAlarms) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    auto beto = client("BETO");
    EXPECT_EQ(errorCode(beto->call(kGetAlarms, {"ANA", Variant(kEvent)})),
              rpc_error::OtherOperator);
    EXPECT_EQ(errorCode(beto->call(kSetAlarm, {"ANA", meeting[1], {}})), rpc_error::OtherOperator);
    EXPECT_EQ(errorCode(beto->call(kGetChangeCount, {"ANA"})), rpc_error::OtherOperator);
    // The same number under his own code is a reminder he does not have.
    EXPECT_EQ(errorCode(beto->call(kSetAlarm, {"BETO", meeting[1], {}})), rpc_error::InvalidValue);
    EXPECT_TRUE(
        okPayload(beto->call(kGetAlarms, {"BETO", Variant(kEvent)})).asPacket().rows.empty());
    JsonRpcAppServer anonymous("127.0.0.1", server_.port());
    EXPECT_EQ(errorCode(anonymous.call(kGetAlarms, {"ANA", Variant(kEvent)})),
              rpc_error::NotAuthenticated);
    EXPECT_EQ(due(*ana_, kEvent), "1 Reunião 14:28:00");
}

TEST_F(AlarmStoreTest, RefusesArgumentsOfTheWrongKind) {
    const Row meeting = add("Reunião", kEvent, 2, "S");
    EXPECT_EQ(errorCode(ana_->call(kGetAlarms, {"ANA", "amanhã"})), rpc_error::InvalidParams);
    EXPECT_EQ(errorCode(ana_->call(kSetAlarm, {"ANA", meeting[1], "logo"})),
              rpc_error::InvalidParams);
    EXPECT_EQ(due(*ana_, kEvent), "1 Reunião 14:28:00");
}

TEST_F(AlarmStoreTest, TheChangeCountMovesWithReminderChangesOnly) {
    const auto count = [&] { return okPayload(ana_->call(kGetChangeCount, {"ANA"})).asInteger(); };
    const auto before = count();
    const Row meeting = add("Reunião", kEvent, 2, "S");
    const auto afterInsert = count();
    EXPECT_GT(afterInsert, before);
    snooze(*ana_, meeting, {});
    EXPECT_EQ(count(), afterInsert);
    Row renamed = meeting;
    renamed[2] = Variant("Outra");
    auto other = client("ANA");
    other->call("SetAfazer", {Variant(reminderDelta({updateOf(meeting, renamed)}))});
    EXPECT_GT(count(), afterInsert);
}

// A database as the server left it before alarm times were kept (schema version 4).
void createVersionFourDatabase(const std::string& path) {
    soci::session database("sqlite3", "db=" + path);
    createVersionFourTables(database);
    database << "CREATE TABLE LMBVERSAOESQUEMA (NRVERSAO INTEGER NOT NULL)";
    database << "INSERT INTO LMBVERSAOESQUEMA VALUES (4)";
    database << "INSERT INTO SEQATIVPESSOAL VALUES ('ANA', 'A', 4)";
    database << "INSERT INTO ATIVPESSOAL VALUES"
                " ('ANA', '1', 'Série', 'serie', '2026-06-15T14:30:00', 'P', 'S', 10, 'S', '1', "
                "'1'),"
                " ('ANA', '2', 'Série', 'serie', '2026-06-16T14:30:00', 'P', 'S', 10, 'S', '1', "
                "'1'),"
                " ('ANA', '3', 'Feita', 'feita', '2026-06-15T08:00:00', 'R', 'N', 10, 'S', '1', "
                "NULL),"
                " ('ANA', '4', 'Na hora', 'na hora', '2026-06-15T09:00:00', 'P', 'S', NULL, NULL, "
                "'1', NULL)";
}

TEST_F(AlarmStoreTest, ADatabaseFromBeforeAlarmTimesKeepsEveryRowAndRingsItsAlarms) {
    server_.stop();
    std::filesystem::remove(server_.database());
    createVersionFourDatabase(server_.database().string());
    server_.addOperator("ANA", "senha-da-ana");
    server_.start();
    ana_ = client("ANA");
    // Each occurrence of the series rings for itself.
    EXPECT_EQ(due(*ana_, DateTime::fromParts({2026, 6, 17})),
              "4 Na hora 09:00:00; 1 Série 14:20:00; 2 Série 14:20:00");
    EXPECT_EQ(render(okPayload(ana_->call("GetAFazer",
                                          {"", "ANA", Variant(DateTime::fromParts({2026, 6, 15})),
                                           true, true, true}))
                         .asPacket()),
              "3 Feita 15/06/2026 08:00:00 R; 4 Na hora 15/06/2026 09:00:00 P; 1 Série 15/06/2026 "
              "14:30:00 P; 2 Série 16/06/2026 14:30:00 P");

    soci::session database("sqlite3", "db=" + server_.database().string());
    int version = 0;
    database << "SELECT NRVERSAO FROM LMBVERSAOESQUEMA", soci::into(version);
    EXPECT_GE(version, 5);
    int stored = 0;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL", soci::into(stored);
    EXPECT_EQ(stored, 4);
}

}  // namespace
}  // namespace lembrete::testing
