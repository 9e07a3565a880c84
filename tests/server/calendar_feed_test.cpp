// The calendar feed and the export command of a real lembrete-server.
#include <gtest/gtest.h>
#include <httplib.h>

#include "interchange/calendar_reader.h"
#include "interchange/local_zone.h"
#include "interchange/strict_parse.h"
#include "net/json_rpc_app_server.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/schema.h"
#include "server/secret_token.h"
#include "server/store_connection.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

const Date kToday = DateTime::nowLocal().date();

DateTime daysFromToday(int days, int hour = 9) {
    return DateTime(kToday.addDays(days), std::chrono::hours(hour));
}

class CalendarFeedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
        server_.start();
        rpc_ = std::make_unique<JsonRpcAppServer>("127.0.0.1", server_.port());
        ASSERT_TRUE(rpc_->Login("ANA", "senha-da-ana").ok());
    }

    // Stores one reminder of ANA per day offset; returns their numbers.
    void insert(const std::vector<int>& days) {
        const auto first =
            std::stoll(rpc_->call("GetPrxAtivPessoalBloco", {"ANA", static_cast<int>(days.size())})
                           .payload.asString());
        std::vector<Change> changes;
        for (std::size_t i = 0; i < days.size(); ++i) {
            changes.push_back(insertOf(reminderRow(ReminderValues(
                "ANA", std::to_string(first + i), "Lembrete " + std::to_string(days[i]),
                daysFromToday(days[i]), "P", "S", Variant(10.0), "S", "500"))));
        }
        const auto result = rpc_->call("SetAfazer", {Variant(reminderDelta(changes))});
        ASSERT_TRUE(result.ok()) << result.error->message;
    }

    std::string renewFeed(const std::string& code = "ANA") {
        std::string token;
        EXPECT_EQ(server_.runCommand({"operator", "feed", code}, "", &token), 0);
        while (!token.empty() && token.back() == '\n') {
            token.pop_back();
        }
        return token;
    }

    httplib::Result get(const std::string& path, const std::string& ifNoneMatch = "") {
        httplib::Client client("127.0.0.1", server_.port());
        httplib::Headers headers;
        if (!ifNoneMatch.empty()) {
            headers.emplace("If-None-Match", ifNoneMatch);
        }
        return client.Get(path, headers);
    }

    ServerProcess server_;
    std::unique_ptr<JsonRpcAppServer> rpc_;
};

TEST_F(CalendarFeedTest, ServesTheOperatorsRemindersFromNinetyDaysBack) {
    insert({-91, -90, -1, 0, 30});
    const std::string token = renewFeed();
    ASSERT_EQ(token.size(), 64u);
    const auto reply = get("/calendario/" + token + ".ics");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->get_header_value("Content-Type"), "text/calendar; charset=utf-8");
    EXPECT_EQ(libicalProblems(reply->body), std::vector<std::string>{});
    EXPECT_EQ(independentEventCount(reply->body), 4);
    const auto contents = CalendarReader(localZoneName()).read(reply->body);
    std::vector<std::string> references;
    for (const auto& entry : contents.entries) {
        references.push_back(entry.reference);
    }
    EXPECT_EQ(references, (std::vector<std::string>{"Lembrete -90", "Lembrete -1", "Lembrete 0",
                                                    "Lembrete 30"}));
}

TEST_F(CalendarFeedTest, AnswersNotModifiedUntilTheRemindersChange) {
    insert({1});
    const std::string path = "/calendario/" + renewFeed() + ".ics";
    const auto first = get(path);
    ASSERT_TRUE(first);
    const std::string etag = first->get_header_value("ETag");
    ASSERT_FALSE(etag.empty());
    const auto again = get(path, etag);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 304);
    EXPECT_EQ(again->body, "");
    EXPECT_EQ(get(path, "\"outra\", " + etag)->status, 304);
    EXPECT_EQ(get(path, "\"outra\"")->status, 200);

    insert({2});
    const auto changed = get(path, etag);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->status, 200);
    EXPECT_NE(changed->get_header_value("ETag"), etag);
    EXPECT_EQ(independentEventCount(changed->body), 2);
}

TEST_F(CalendarFeedTest, EveryOtherTokenGetsTheSameBareNotFound) {
    const std::string old = renewFeed();
    const std::string current = renewFeed();
    ASSERT_NE(old, current);
    const std::string bob = renewFeed("BETO");
    EXPECT_EQ(get("/calendario/" + current + ".ics")->status, 200);
    EXPECT_EQ(get("/calendario/" + bob + ".ics")->status, 200);

    std::string session;
    {
        JsonRpcAppServer other("127.0.0.1", server_.port());
        const auto login = other.call("Login", {"ANA", "senha-da-ana"});
        ASSERT_TRUE(login.ok());
        session = login.payload.asString();
    }
    const auto reference = get("/calendario/" + old + ".ics");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->status, 404);
    for (const std::string& path : std::vector<std::string>{
             "/calendario/" + session + ".ics", "/calendario/" + current, "/calendario/.ics",
             "/calendario/" + std::string(64, '0') + ".ics", "/calendario/x%00.ics"}) {
        const auto reply = get(path);
        ASSERT_TRUE(reply) << path;
        EXPECT_EQ(reply->status, 404) << path;
        EXPECT_EQ(reply->body, reference->body) << path;
    }
    EXPECT_NE(server_.runCommand({"operator", "feed", "NINGUEM"}, ""), 0);
}

TEST_F(CalendarFeedTest, ExportCommandWritesTheOperatorsRemindersInTheRange) {
    insert({-400, -1, 0, 2, 3650});
    std::string all;
    ASSERT_EQ(server_.runCommand({"export", "--operator", "ANA"}, "", &all), 0);
    EXPECT_EQ(libicalProblems(all), std::vector<std::string>{});
    EXPECT_EQ(independentEventCount(all), 5);
    std::string some;
    ASSERT_EQ(server_.runCommand({"export", "--operator", "ANA", "--from",
                                  kToday.addDays(-1).format(), "--to", kToday.addDays(2).iso()},
                                 "", &some),
              0);
    EXPECT_EQ(independentEventCount(some), 3);
    // The same reminder has the same UID in every export.
    const auto uids = [](const std::string& text) {
        std::set<std::string> result;
        for (const auto& entry : CalendarReader(localZoneName()).read(text).entries) {
            result.insert(entry.uid);
        }
        return result;
    };
    const auto someUids = uids(some);
    const auto allUids = uids(all);
    EXPECT_TRUE(std::includes(allUids.begin(), allUids.end(), someUids.begin(), someUids.end()));

    std::string none;
    EXPECT_NE(server_.runCommand({"export", "--operator", "NINGUEM"}, "", &none), 0);
    EXPECT_EQ(none, "");
    EXPECT_NE(server_.runCommand({"export", "--operator", "ANA", "--from", "31/02/2026"}, ""), 0);
    EXPECT_NE(server_.runCommand({"export"}, ""), 0);
}

// The client's export: a range, chosen numbers, the client's zone; the session's operator only.
TEST_F(CalendarFeedTest, ClientExportTakesARangeNumbersAndTheClientsZone) {
    insert({-400, -1, 0, 2, 3650});
    const auto exported = [&](const std::vector<Variant>& args) {
        const auto result = rpc_->call("GetICalAFazer", args);
        EXPECT_TRUE(result.ok()) << result.error->message;
        return result.ok() ? result.payload.asString() : std::string();
    };
    const std::string all = exported({"ANA", "", Variant(), Variant(), Variant()});
    EXPECT_EQ(libicalProblems(all), std::vector<std::string>{});
    EXPECT_EQ(independentEventCount(all), 5);
    EXPECT_EQ(independentEventCount(exported({"ANA", "", DateTime(kToday.addDays(-1)),
                                              DateTime(kToday.addDays(2)), Variant()})),
              3);
    EXPECT_EQ(independentEventCount(exported({"ANA", "", Variant(), Variant(), "1,3,99"})), 2);
    EXPECT_EQ(independentEventCount(exported({"ANA", "", DateTime(kToday), Variant(), "1,3"})), 1);
    EXPECT_EQ(exported({"ANA", "", Variant(), Variant(), ""}).find("BEGIN:VEVENT"),
              std::string::npos);
    const std::string york = exported({"ANA", "America/New_York", Variant(), Variant(), Variant()});
    EXPECT_EQ(libicalProblems(york), std::vector<std::string>{});
    EXPECT_NE(york.find("TZID:America/New_York"), std::string::npos);
    EXPECT_NE(york.find("DTSTART;TZID=America/New_York:"), std::string::npos);

    const struct {
        const char* name;
        std::vector<Variant> args;
        int code;
    } refused[] = {
        {"another operator", {"BETO", "", Variant(), Variant(), Variant()}, 1003},
        {"no operator", {"", "", Variant(), Variant(), Variant()}, 1003},
        {"unknown zone", {"ANA", "Marte/Olympus", Variant(), Variant(), Variant()}, 1004},
        {"reversed range",
         {"ANA", "", DateTime(kToday), DateTime(kToday.addDays(-1)), Variant()},
         -32602},
        {"too few arguments", {"ANA", ""}, -32602},
    };
    for (const auto& one : refused) {
        const auto result = rpc_->call("GetICalAFazer", one.args);
        ASSERT_FALSE(result.ok()) << one.name;
        EXPECT_EQ(result.error->code, one.code) << one.name;
    }
    JsonRpcAppServer stranger("127.0.0.1", server_.port());
    EXPECT_EQ(
        stranger.call("GetICalAFazer", {"ANA", "", Variant(), Variant(), Variant()}).error->code,
        1001);
}

// A description stored by an older program in Latin-1 is exported as UTF-8 text, by the call
// and the feed alike, instead of failing the operator's whole calendar.
TEST_F(CalendarFeedTest, ADescriptionThatIsNotUtf8IsExportedReadAsLatin1) {
    insert({1});
    const auto stored = rpc_->call(
        "SetDescAFazer",
        {Variant(descriptionDelta({insertOf(descriptionRow("ANA", "1", "Reuni\xE3o na sala"))}))});
    ASSERT_TRUE(stored.ok()) << stored.error->message;
    const auto result = rpc_->call("GetICalAFazer", {"ANA", "", Variant(), Variant(), Variant()});
    ASSERT_TRUE(result.ok()) << result.error->message;
    EXPECT_EQ(libicalProblems(result.payload.asString()), std::vector<std::string>{});
    EXPECT_NE(result.payload.asString().find("DESCRIPTION:Reunião na sala"), std::string::npos);
    const auto feed = get("/calendario/" + renewFeed() + ".ics");
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->status, 200);
    EXPECT_NE(feed->body.find("DESCRIPTION:Reunião na sala"), std::string::npos);
}

// The desktop shows the feed's address and renews it; the command line's renewal shows there.
TEST_F(CalendarFeedTest, TheDesktopReadsAndRenewsTheFeedAddress) {
    const auto path = [&](const char* method, const std::string& code = "ANA") {
        const auto result = rpc_->call(method, {code});
        EXPECT_TRUE(result.ok()) << method;
        return result.ok() ? result.payload.asString() : std::string();
    };
    EXPECT_EQ(path("GetCalendarioAFazer"), "");
    const std::string first = path("SetCalendarioAFazer");
    ASSERT_TRUE(first.starts_with("/calendario/") && first.ends_with(".ics")) << first;
    EXPECT_EQ(path("GetCalendarioAFazer"), first);
    EXPECT_EQ(get(first)->status, 200);
    const std::string second = path("SetCalendarioAFazer");
    EXPECT_NE(second, first);
    EXPECT_EQ(get(first)->status, 404);
    EXPECT_EQ(get(second)->status, 200);
    const std::string fromCommand = renewFeed();
    EXPECT_EQ(path("GetCalendarioAFazer"), "/calendario/" + fromCommand + ".ics");
    EXPECT_EQ(get(second)->status, 404);
    for (const char* method : {"GetCalendarioAFazer", "SetCalendarioAFazer"}) {
        const auto other = rpc_->call(method, {"BETO"});
        ASSERT_FALSE(other.ok()) << method;
        EXPECT_EQ(other.error->code, 1003) << method;
        JsonRpcAppServer stranger("127.0.0.1", server_.port());
        EXPECT_EQ(stranger.call(method, {"ANA"}).error->code, 1001) << method;
    }
    EXPECT_EQ(get("/calendario/" + fromCommand + ".ics")->status, 200);
}

// A database made by the server before feeds existed keeps its rows and gets feeds.
TEST(CalendarFeedMigration, UpgradesADatabaseOfThePreviousVersion) {
    ServerProcess server;
    {
        StoreConnection connection(DatabaseLocation::parse(server.databaseArgument()));
        constexpr int kBeforeFeeds = 2;
        migrateSchema(connection, kBeforeFeeds);
        OperatorAccounts::add(connection, "ANA", "senha-da-ana");
        NumberSequences::reserve(connection, "ANA", SequenceKind::Reminder, 1);
        // As that server stored it: today's writer fills columns that version lacks.
        const std::string when = daysFromToday(1).iso();
        connection.session() << "INSERT INTO ATIVPESSOAL VALUES ('ANA', '1', 'Antigo', 'antigo', "
                                ":when, 'P', 'N', NULL, NULL, NULL, NULL)",
            soci::use(when);
    }
    server.start();
    std::string token;
    ASSERT_EQ(server.runCommand({"operator", "feed", "ANA"}, "", &token), 0);
    token.pop_back();
    httplib::Client client("127.0.0.1", server.port());
    const auto reply = client.Get("/calendario/" + token + ".ics");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_NE(reply->body.find("SUMMARY:Antigo"), std::string::npos);
}

}  // namespace
}  // namespace lembrete::testing

namespace lembrete::testing {
namespace {

// A feed issued before the token was kept goes on working; the desktop has no address to show
// until it is renewed.
TEST(CalendarFeedMigration, AFeedIssuedBeforeTokensWereKeptStillWorks) {
    ServerProcess server;
    const std::string token = newSecretToken();
    {
        StoreConnection connection(DatabaseLocation::parse(server.databaseArgument()));
        constexpr int kBeforeKeptTokens = 7;
        migrateSchema(connection, kBeforeKeptTokens);
        OperatorAccounts::add(connection, "ANA", "senha-da-ana");
        const std::string hash = secretTokenHash(token);
        connection.session() << "INSERT INTO CALENDARIOOPERADOR VALUES ('ANA', :hash)",
            soci::use(hash);
    }
    server.start();
    httplib::Client client("127.0.0.1", server.port());
    const auto reply = client.Get("/calendario/" + token + ".ics");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    JsonRpcAppServer rpc("127.0.0.1", server.port());
    ASSERT_TRUE(rpc.Login("ANA", "senha-da-ana").ok());
    EXPECT_EQ(rpc.call("GetCalendarioAFazer", {"ANA"}).payload.asString(), "");
}

}  // namespace
}  // namespace lembrete::testing
