// GetAFazerPeriodo and ProcurarAFazer on the real lembrete-server: what a week or a month view
// reads in one call, the operator checks, the bounds of a range and of a page, the walk
// through the pages of a long search, and databases from before descriptions were searched and
// before the search had its index.
#include <gtest/gtest.h>
#include <soci/soci.h>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "net/view_contract.h"
#include "server/database_location.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/schema.h"
#include "server/store_connection.h"
#include "support/reminder_deltas.h"
#include "support/rpc_checks.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

using namespace view_contract;

const Date kSunday = Date::fromParts(2026, 12, 27);

class ViewCallsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
        server_.start();
        ana_ = loggedInClient(server_.port(), "ANA", "senha-da-ana");
        beto_ = loggedInClient(server_.port(), "BETO", "senha-do-beto");
    }

    // `count` reminders of `operatorCode`, the i-th at (first + i days, 09:00 + i minutes), sent
    // as one delta; references "<prefix> i".
    void add(JsonRpcAppServer& connection, const std::string& operatorCode, int count,
             const std::string& prefix, Date first, int daysApart = 1) {
        const auto firstNumber = std::stoll(
            okPayload(connection.call("GetPrxAtivPessoalBloco", {operatorCode, count})).asString());
        std::vector<Change> changes;
        for (int i = 0; i < count; ++i) {
            const DateTime when(first.addDays(i * daysApart), std::chrono::minutes(9 * 60 + i));
            changes.push_back(insertOf(
                reminderRow({operatorCode, std::to_string(firstNumber + i),
                             prefix + " " + std::to_string(i), when, i % 2 == 0 ? "P" : "R"})));
        }
        okPayload(connection.call("SetAfazer", {Variant(reminderDelta(changes))}));
    }

    ServerResult range(JsonRpcAppServer& connection, const std::string& operatorCode, Date first,
                       Date last, const std::string& reference = "") {
        return connection.call(
            kGetRange, {reference, operatorCode, DateTime(first), DateTime(last), true, true});
    }

    ServerResult search(JsonRpcAppServer& connection, const std::string& operatorCode,
                        const std::string& text, Variant afterDate = {}, Variant afterNumber = {}) {
        return connection.call(kSearch, {operatorCode, text, afterDate, afterNumber});
    }

    ServerProcess server_;
    std::unique_ptr<JsonRpcAppServer> ana_;
    std::unique_ptr<JsonRpcAppServer> beto_;
};

TEST_F(ViewCallsTest, ARangeHoldsWhatTheDayListsOfItsDaysHold) {
    add(*ana_, "ANA", 20, "Visita", kSunday.addDays(-3));
    add(*beto_, "BETO", 20, "Visita", kSunday.addDays(-3));
    std::string days;
    for (int i = 0; i < 7; ++i) {
        days += render(okPayload(ana_->call("GetAFazer", {"", "ANA", DateTime(kSunday.addDays(i)),
                                                          true, true, false}))
                           .asPacket());
        days += i < 6 ? "; " : "";
    }
    const auto week = okPayload(range(*ana_, "ANA", kSunday, kSunday.addDays(6))).asPacket();
    EXPECT_EQ(render(week), days);
    EXPECT_EQ(week.rows.size(), 7u);
    EXPECT_EQ(
        render(okPayload(range(*ana_, "ANA", kSunday, kSunday.addDays(6), "VÍSITA 5")).asPacket()),
        "6 Visita 5 29/12/2026 09:05:00 R");
    EXPECT_EQ(okPayload(range(*ana_, "", kSunday, kSunday.addDays(6))).asPacket().rows.size(), 0u);
}

TEST_F(ViewCallsTest, RangesOfAnotherOperatorRunningBackwardsOrTooLongAreRefused) {
    EXPECT_EQ(errorCode(range(*ana_, "BETO", kSunday, kSunday.addDays(6))),
              rpc_error::OtherOperator);
    EXPECT_EQ(errorCode(range(*ana_, "ANA", kSunday, kSunday.addDays(-1))),
              rpc_error::InvalidParams);
    EXPECT_EQ(errorCode(range(*ana_, "ANA", kSunday, kSunday.addDays(kMaxRangeDays))),
              rpc_error::InvalidParams);
    EXPECT_TRUE(range(*ana_, "ANA", kSunday, kSunday.addDays(kMaxRangeDays - 1)).ok());
    EXPECT_EQ(errorCode(range(*ana_, "ANA", kSunday, kSunday, std::string(101, 'a'))),
              rpc_error::InvalidValue);
    JsonRpcAppServer anonymous("127.0.0.1", server_.port());
    EXPECT_EQ(errorCode(range(anonymous, "ANA", kSunday, kSunday)), rpc_error::NotAuthenticated);
    EXPECT_EQ(errorCode(ana_->call(kGetRange, {"", "ANA", DateTime(kSunday)})),
              rpc_error::InvalidParams);
}

TEST_F(ViewCallsTest, ALongSearchComesInPagesNewestFirstWithoutRepeats) {
    constexpr int kMatches = 2 * kSearchPageSize + 20;
    add(*ana_, "ANA", kMatches, "Revisão", Date::fromParts(2026, 1, 1));
    add(*ana_, "ANA", 30, "Outra coisa", Date::fromParts(2026, 1, 1));
    add(*beto_, "BETO", 30, "Revisão", Date::fromParts(2027, 1, 1));
    std::vector<std::size_t> pageSizes;
    std::vector<std::string> seen;
    Variant afterDate;
    Variant afterNumber;
    for (int page = 0; page < 10; ++page) {
        const auto packet =
            okPayload(search(*ana_, "ANA", "REVISAO", afterDate, afterNumber)).asPacket();
        pageSizes.push_back(packet.rows.size());
        for (const auto& row : packet.rows) {
            EXPECT_EQ(row[0].asString(), "ANA");
            seen.push_back(row[2].asString());
        }
        if (packet.rows.size() < static_cast<std::size_t>(kSearchPageSize)) {
            break;
        }
        afterDate = packet.rows.back()[3];
        afterNumber = packet.rows.back()[1];
    }
    EXPECT_EQ(pageSizes, (std::vector<std::size_t>{50, 50, 20}));
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kMatches));
    for (int i = 0; i < kMatches; ++i) {
        EXPECT_EQ(seen[i], "Revisão " + std::to_string(kMatches - 1 - i));
    }
}

TEST_F(ViewCallsTest, SearchesOfAnotherOperatorOrWithBadPositionsAreRefused) {
    add(*beto_, "BETO", 3, "Segredo", kSunday);
    EXPECT_EQ(errorCode(search(*ana_, "BETO", "segredo")), rpc_error::OtherOperator);
    EXPECT_EQ(okPayload(search(*ana_, "ANA", "segredo")).asPacket().rows.size(), 0u);
    EXPECT_EQ(okPayload(search(*ana_, "", "segredo")).asPacket().rows.size(), 0u);
    EXPECT_EQ(errorCode(search(*ana_, "ANA", std::string(kMaxSearchText + 1, 'a'))),
              rpc_error::InvalidValue);
    EXPECT_TRUE(search(*ana_, "ANA", std::string(kMaxSearchText, 'a')).ok());
    for (const char* number : {"", "x1", "-1", "1 "}) {
        EXPECT_EQ(errorCode(search(*ana_, "ANA", "a", Variant(DateTime(kSunday)), Variant(number))),
                  rpc_error::InvalidParams)
            << '"' << number << '"';
    }
    EXPECT_EQ(errorCode(search(*ana_, "ANA", "a", Variant("ontem"), Variant("1"))),
              rpc_error::InvalidParams);
}

TEST(ViewCallsMigration, DescriptionsWrittenBeforeTheSearchAreFoundAfterTheUpgrade) {
    ServerProcess server;
    {
        // A database as the previous version left it: descriptions without their search key.
        StoreConnection connection(DatabaseLocation::parse(server.databaseArgument()));
        migrateSchema(connection, 6);
        OperatorAccounts::add(connection, "ANA", "senha-da-ana");
        NumberSequences::reserve(connection, "ANA", SequenceKind::Reminder, 2);
        auto& session = connection.session();
        session << "INSERT INTO ATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEATPESS, DSREFEBUSCA,"
                   " DTATIVPESS, IDSITUATPESS, IDALARATPESS) VALUES"
                   " ('ANA', '1', 'Antigo', 'antigo', '2026-12-08T09:00:00', 'P', 'N'),"
                   " ('ANA', '2', 'Sem texto', 'sem texto', '2026-12-09T09:00:00', 'P', 'N')";
        // "<p>Pagar a <b>CONTA</b> de luz</p>" in base64, as the server stores blobs.
        session << "INSERT INTO DESCATIVPESSOAL (CDOPERADOR, NRATIVPESS, TXATIVPESS) VALUES"
                   " ('ANA', '1', 'PHA+UGFnYXIgYSA8Yj5DT05UQTwvYj4gZGUgbHV6PC9wPg=='),"
                   " ('ANA', '2', NULL)";
    }
    server.start();
    auto ana = loggedInClient(server.port(), "ANA", "senha-da-ana");
    const auto found = okPayload(ana->call(kSearch, {"ANA", "conta de", Variant(), Variant()}));
    EXPECT_EQ(render(found.asPacket()), "1 Antigo 08/12/2026 09:00:00 P");
    EXPECT_EQ(
        okPayload(ana->call(kSearch, {"ANA", "", Variant(), Variant()})).asPacket().rows.size(),
        2u);
    soci::session database("sqlite3", "db=" + server.database().string());
    int rows = 0;
    database << "SELECT COUNT(*) FROM DESCATIVPESSOAL", soci::into(rows);
    EXPECT_EQ(rows, 2);
}

TEST(ViewCallsMigration, AnOldHistoryIsSearchedThroughTheIndexAfterTheUpgrade) {
    ServerProcess server;
    {
        // 1,500 reminders and their descriptions as the previous version left them; the oldest
        // lie past the rows a search reads before it turns to the index.
        StoreConnection connection(DatabaseLocation::parse(server.databaseArgument()));
        migrateSchema(connection, 8);
        OperatorAccounts::add(connection, "ANA", "senha-da-ana");
        OperatorAccounts::add(connection, "BETO", "senha-do-beto");
        NumberSequences::reserve(connection, "ANA", SequenceKind::Reminder, 1500);
        auto& session = connection.session();
        session << "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 1500)"
                   " INSERT INTO ATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEATPESS, DSREFEBUSCA,"
                   " DTATIVPESS, IDSITUATPESS, IDALARATPESS) SELECT 'ANA', CAST(I AS TEXT),"
                   " 'Rotina ' || I, 'rotina ' || I,"
                   " '2026-01-01T09:' || SUBSTR('0' || (I % 60), -2) || ':00', 'P', 'N' FROM N";
        session << "UPDATE ATIVPESSOAL SET DTATIVPESS = '2020-05-04T08:00:00', DSREFEATPESS ="
                   " 'Vacina', DSREFEBUSCA = 'vacina' WHERE NRATIVPESS IN ('7', '8')";
        session << "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 1500)"
                   " INSERT INTO DESCATIVPESSOAL (CDOPERADOR, NRATIVPESS, TXATIVPESS, DSDESCBUSCA)"
                   " SELECT 'ANA', CAST(I AS TEXT), 'eA==', CASE I WHEN 8 THEN 'levar a carteira'"
                   " ELSE 'x' END FROM N";
        session << "INSERT INTO ATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEATPESS, DSREFEBUSCA,"
                   " DTATIVPESS, IDSITUATPESS, IDALARATPESS) VALUES ('BETO', '1', 'Vacina',"
                   " 'vacina', '2020-05-04T08:00:00', 'P', 'N')";
    }
    server.start();
    auto ana = loggedInClient(server.port(), "ANA", "senha-da-ana");
    const auto numbers = [&](const std::string& text) {
        std::string found;
        const auto payload = okPayload(ana->call(kSearch, {"ANA", text, Variant(), Variant()}));
        for (const auto& row : payload.asPacket().rows) {
            found += (found.empty() ? "" : " ") + row[1].asString();
        }
        return found;
    };
    EXPECT_EQ(numbers("VACINA"), "8 7");
    EXPECT_EQ(numbers("carteira"), "8");
    EXPECT_EQ(numbers("rotina 1499"), "1499");
    EXPECT_EQ(numbers("nada"), "");
}

}  // namespace
}  // namespace lembrete::testing
