// Series and their rules on the real lembrete-server: one transaction for the occurrences, their
// descriptions and the rule; the reads of a series; the operator checks; a database made before
// rules were stored.
#include <gtest/gtest.h>
#include <soci/soci.h>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "support/kill_mid_write.h"
#include "support/old_schemas.h"
#include "support/reminder_deltas.h"
#include "support/rpc_checks.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

const Date kStart = Date::fromParts(2007, 7, 16);

class SeriesStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
    }

    std::unique_ptr<JsonRpcAppServer> client(const std::string& operatorCode = "ANA") {
        return loggedInClient(server_.port(), operatorCode,
                              operatorCode == "ANA" ? "senha-da-ana" : "senha-do-beto");
    }

    static Variant ok(const ServerResult& result) { return okPayload(result); }
    static int code(const ServerResult& result) { return errorCode(result); }

    // `count` daily occurrences of a new series from kStart at 08:00, with their descriptions.
    struct NewSeries {
        std::string number;
        std::vector<Row> reminders;
        DataPacket remindersDelta;
        DataPacket descriptionsDelta;
        DataPacket ruleDelta;
    };
    NewSeries newSeries(JsonRpcAppServer& connection, int count) {
        NewSeries series;
        series.number = ok(connection.call("GetPrxNrRepetAtivPess", {"ANA"})).asString();
        const long long first =
            std::stoll(ok(connection.call("GetPrxAtivPessoalBloco", {"ANA", count})).asString());
        std::vector<Change> reminders;
        std::vector<Change> descriptions;
        for (int i = 0; i < count; ++i) {
            const std::string number = std::to_string(first + i);
            series.reminders.push_back(
                reminderRow({"ANA",
                             number,
                             "Diário",
                             DateTime(kStart.addDays(i), std::chrono::hours(8)),
                             "P",
                             "N",
                             {},
                             "",
                             "",
                             series.number}));
            reminders.push_back(insertOf(series.reminders.back()));
            descriptions.push_back(insertOf(descriptionRow("ANA", number, "texto")));
        }
        series.remindersDelta = reminderDelta(reminders);
        series.descriptionsDelta = descriptionDelta(descriptions);
        series.ruleDelta = seriesDelta({insertOf(seriesRow(
            "ANA", series.number, "D", "1", "NNNNNNN", DateTime(kStart, std::chrono::hours(8)),
            Variant(DateTime(kStart.addDays(count - 1)))))});
        return series;
    }

    static ServerResult store(JsonRpcAppServer& connection, const NewSeries& series) {
        return connection.call("SetSerieAFazer",
                               {Variant(series.remindersDelta), Variant(series.descriptionsDelta),
                                Variant(series.ruleDelta)});
    }

    static std::string rows(JsonRpcAppServer& connection, const std::string& series) {
        return render(ok(connection.call("GetSerieAFazer", {"ANA", series})).asPacket());
    }

    ServerProcess server_;
};

TEST_F(SeriesStoreTest, OccurrencesDescriptionsAndRuleAreStoredTogether) {
    server_.start();
    auto ana = client();
    const NewSeries series = newSeries(*ana, 3);
    EXPECT_EQ(ok(store(*ana, series)), Variant(7));
    EXPECT_EQ(rows(*ana, series.number),
              "1 Diário 16/07/2007 08:00:00 P; 2 Diário 17/07/2007 08:00:00 P; "
              "3 Diário 18/07/2007 08:00:00 P");
    const DataPacket rule = ok(ana->call("GetRegraAFazer", {"ANA", series.number})).asPacket();
    ASSERT_EQ(rule.rows.size(), 1u);
    EXPECT_EQ(rule.rows[0], series.ruleDelta.changes[0].newValues);
    const DataPacket description = ok(ana->call("GetDescAFazer", {"ANA", "2"})).asPacket();
    ASSERT_EQ(description.rows.size(), 1u);
    EXPECT_EQ(description.rows[0][0], Variant(Blob{"texto"}));

    // Another series number reads nothing, and a series without a stored rule reads no rule.
    EXPECT_EQ(rows(*ana, "99"), "");
    EXPECT_TRUE(ok(ana->call("GetRegraAFazer", {"ANA", "99"})).asPacket().rows.empty());
}

TEST_F(SeriesStoreTest, AnyRefusalLeavesNothingOfTheSeries) {
    server_.start();
    auto ana = client();
    struct Case {
        const char* name;
        std::function<void(NewSeries&)> spoil;
        int code;
    };
    const std::vector<Case> cases = {
        {"rule with a series number never issued",
         [](NewSeries& s) { setNewValue(s.ruleDelta.changes[0], 1, Variant("777")); },
         rpc_error::NumberNotIssued},
        {"rule with a bad interval",
         [](NewSeries& s) { setNewValue(s.ruleDelta.changes[0], 3, Variant("0")); },
         rpc_error::InvalidValue},
        {"rule with bad weekday flags",
         [](NewSeries& s) { setNewValue(s.ruleDelta.changes[0], 4, Variant("SSX")); },
         rpc_error::InvalidValue},
        {"rule of another operator",
         [](NewSeries& s) { setNewValue(s.ruleDelta.changes[0], 0, Variant("BETO")); },
         rpc_error::OtherOperator},
        {"description of a reminder already stored",
         [](NewSeries& s) {
             s.descriptionsDelta.changes.push_back(s.descriptionsDelta.changes.front());
         },
         rpc_error::ExistingKey},
    };
    for (const Case& c : cases) {
        NewSeries series = newSeries(*ana, 3);
        c.spoil(series);
        EXPECT_EQ(code(store(*ana, series)), c.code) << c.name;
        EXPECT_EQ(rows(*ana, series.number), "") << c.name;
        EXPECT_TRUE(ok(ana->call("GetRegraAFazer", {"ANA", series.number})).asPacket().rows.empty())
            << c.name;
    }
}

TEST_F(SeriesStoreTest, ChangingAStoredSeriesIsAllOrNothingUnderTheConflictRule) {
    server_.start();
    auto ana = client();
    const NewSeries series = newSeries(*ana, 3);
    ok(store(*ana, series));
    // Another desktop changed the middle occurrence since this one read the series.
    Row changedElsewhere = series.reminders[1];
    changedElsewhere[2] = Variant("Mudado lá");
    ok(ana->call("SetAfazer",
                 {Variant(reminderDelta({updateOf(series.reminders[1], changedElsewhere)}))}));

    std::vector<Change> changes;
    for (const Row& row : series.reminders) {
        Row later = row;
        later[3] = Variant(row[3].asDateTime().withTime(std::chrono::hours(9)));
        changes.push_back(updateOf(row, later));
    }
    const Row oldRule = series.ruleDelta.changes[0].newValues;
    Row newRule = oldRule;
    newRule[6] = Variant(DateTime(kStart, std::chrono::hours(9)));
    const auto change =
        ana->call("SetSerieAFazer", {Variant(reminderDelta(changes)), Variant(descriptionDelta({})),
                                     Variant(seriesDelta({updateOf(oldRule, newRule)}))});
    EXPECT_EQ(code(change), rpc_error::Conflict);
    EXPECT_EQ(rows(*ana, series.number),
              "1 Diário 16/07/2007 08:00:00 P; 2 Mudado lá 17/07/2007 08:00:00 P; "
              "3 Diário 18/07/2007 08:00:00 P");
    EXPECT_EQ(ok(ana->call("GetRegraAFazer", {"ANA", series.number})).asPacket().rows[0], oldRule);
}

TEST_F(SeriesStoreTest, ReadsAndWritesOfASeriesAreTheSessionOperatorsOnly) {
    server_.start();
    auto ana = client();
    const NewSeries series = newSeries(*ana, 2);
    ok(store(*ana, series));
    auto beto = client("BETO");
    EXPECT_EQ(code(beto->call("GetSerieAFazer", {"ANA", series.number})), rpc_error::OtherOperator);
    EXPECT_EQ(code(beto->call("GetRegraAFazer", {"ANA", series.number})), rpc_error::OtherOperator);
    // His own operator with Ana's series number reads his rows: none.
    EXPECT_TRUE(ok(beto->call("GetSerieAFazer", {"BETO", series.number})).asPacket().rows.empty());
    EXPECT_EQ(
        code(beto->call("SetSerieAFazer",
                        {Variant(reminderDelta({})), Variant(descriptionDelta({})),
                         Variant(seriesDelta({deleteOf(series.ruleDelta.changes[0].newValues)}))})),
        rpc_error::OtherOperator);
    JsonRpcAppServer anonymous("127.0.0.1", server_.port());
    EXPECT_EQ(code(anonymous.call("GetSerieAFazer", {"ANA", series.number})),
              rpc_error::NotAuthenticated);
    EXPECT_EQ(ok(ana->call("GetRegraAFazer", {"ANA", series.number})).asPacket().rows.size(), 1u);
}

TEST_F(SeriesStoreTest, TheDescriptionsOfSeveralRemindersAreReadInOneCallByTheirOperatorOnly) {
    server_.start();
    auto ana = client();
    const NewSeries series = newSeries(*ana, 3);
    ok(store(*ana, series));
    std::string numbers;
    for (const Change& change : series.descriptionsDelta.changes) {
        numbers += change.newValues[2].toText() + ",";
    }
    const DataPacket read = ok(ana->call("GetDescsAFazer", {"ANA", numbers + ",999"})).asPacket();
    ASSERT_EQ(read.rows.size(), 3u);
    EXPECT_EQ(read.rows[0][1], Variant("ANA"));
    EXPECT_TRUE(ok(ana->call("GetDescsAFazer", {"ANA", ""})).asPacket().rows.empty());
    auto beto = client("BETO");
    EXPECT_EQ(code(beto->call("GetDescsAFazer", {"ANA", numbers})), rpc_error::OtherOperator);
    EXPECT_TRUE(ok(beto->call("GetDescsAFazer", {"BETO", numbers})).asPacket().rows.empty());
    JsonRpcAppServer anonymous("127.0.0.1", server_.port());
    EXPECT_EQ(code(anonymous.call("GetDescsAFazer", {"ANA", numbers})),
              rpc_error::NotAuthenticated);
}

TEST_F(SeriesStoreTest, KilledInTheMiddleOfALongSeriesChangeLeavesItAllOldOrAllNew) {
    constexpr int kOccurrences = 3650;
    server_.start();
    auto ana = client();
    const NewSeries series = newSeries(*ana, kOccurrences);
    ASSERT_TRUE(store(*ana, series).ok());
    std::vector<Change> changes;
    for (const Row& row : series.reminders) {
        Row later = row;
        later[3] = Variant(row[3].asDateTime().withTime(std::chrono::hours(9)));
        later[8] = Variant("09:00:00");
        changes.push_back(updateOf(row, later));
    }
    const Row oldRule = series.ruleDelta.changes[0].newValues;
    Row newRule = oldRule;
    newRule[6] = Variant(DateTime(kStart, std::chrono::hours(9)));
    const std::vector<Variant> args = {Variant(reminderDelta(std::move(changes))),
                                       Variant(descriptionDelta({})),
                                       Variant(seriesDelta({updateOf(oldRule, newRule)}))};
    const auto outcome = killMidWrite(
        server_, [&] { return ana->call("SetSerieAFazer", args); }, 0);
    RecordProperty("killed_mid_transaction", outcome.ok() ? "no" : "yes");

    EXPECT_EQ(integrityOf(server_), "ok");
    soci::session database("sqlite3", "db=" + server_.database().string());
    int atNine = 0;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL WHERE DTATIVPESS LIKE '%T09:00:00'",
        soci::into(atNine);
    EXPECT_TRUE(atNine == 0 || atNine == kOccurrences) << atNine;
    std::string ruleStart;
    database << "SELECT DTINICREPET FROM SERIEATIVPESSOAL", soci::into(ruleStart);
    EXPECT_EQ(ruleStart, atNine == 0 ? "2007-07-16T08:00:00" : "2007-07-16T09:00:00");
    if (outcome.ok()) {
        EXPECT_EQ(atNine, kOccurrences);
    }
}

// A database as the server left it before series rules were stored (schema version 1), with a
// series of two occurrences.
void createVersionOneDatabase(const std::string& path) {
    soci::session database("sqlite3", "db=" + path);
    createVersionOneTables(database);
    database << "CREATE TABLE LMBVERSAOESQUEMA (NRVERSAO INTEGER NOT NULL)";
    database << "INSERT INTO LMBVERSAOESQUEMA VALUES (1)";
    database << "INSERT INTO SEQATIVPESSOAL VALUES ('ANA', 'A', 2), ('ANA', 'R', 1)";
    database << "INSERT INTO ATIVPESSOAL VALUES ('ANA', '1', 'Antiga', 'antiga', "
                "'2007-07-16T08:00:00', 'P', 'N', NULL, NULL, '1', '1'), ('ANA', '2', 'Antiga', "
                "'antiga', '2007-07-17T08:00:00', 'R', 'N', NULL, NULL, '1', '1')";
}

TEST_F(SeriesStoreTest, ADatabaseFromBeforeRulesKeepsItsSeriesAsAGroup) {
    // The operators the fixture added live in the file it made; start over from the old schema.
    std::filesystem::remove(server_.database());
    createVersionOneDatabase(server_.database().string());
    server_.addOperator("ANA", "senha-da-ana");
    server_.start();
    auto ana = client();
    EXPECT_EQ(rows(*ana, "1"), "1 Antiga 16/07/2007 08:00:00 P; 2 Antiga 17/07/2007 08:00:00 R");
    EXPECT_TRUE(ok(ana->call("GetRegraAFazer", {"ANA", "1"})).asPacket().rows.empty());
    EXPECT_EQ(ok(ana->call("GetPrxNrRepetAtivPess", {"ANA"})), Variant("2"));

    soci::session database("sqlite3", "db=" + server_.database().string());
    int version = 0;
    database << "SELECT NRVERSAO FROM LMBVERSAOESQUEMA", soci::into(version);
    EXPECT_GE(version, 2);
    int stored = 0;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL", soci::into(stored);
    EXPECT_EQ(stored, 2);
}

}  // namespace
}  // namespace lembrete::testing
