// Two lembrete-server processes on one PostgreSQL database (the cluster the test command starts,
// LEMBRETE_TEST_POSTGRES; skipped when it is not set): what one writes, the other serves.
#include <gtest/gtest.h>
#include <soci/soci.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <set>
#include <thread>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/database_location.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

const Date kDay = Date::fromParts(2026, 12, 8);

class SharedPostgresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* uri = std::getenv("LEMBRETE_TEST_POSTGRES");
        if (!uri || !*uri) {
            GTEST_SKIP() << "LEMBRETE_TEST_POSTGRES is not set (scripts/test.sh sets it)";
        }
        uri_ = uri;
        schema_ = "lembrete_dois_" + std::to_string(getpid());
        admin() << "CREATE SCHEMA " + schema_;
        const auto database = uri_ + (uri_.find('?') == std::string::npos ? "?" : "&") +
                              "options=-csearch_path%3D" + schema_;
        first_ = std::make_unique<ServerProcess>(database);
        second_ = std::make_unique<ServerProcess>(database);
        // Started side by side on an empty schema: both create and migrate it at once.
        first_->launch();
        second_->launch();
        first_->awaitListening();
        second_->awaitListening();
        second_->addOperator("ANA", "senha-da-ana");
    }

    void TearDown() override {
        if (!schema_.empty()) {
            first_.reset();
            second_.reset();
            admin() << "DROP SCHEMA " + schema_ + " CASCADE";
        }
    }

    soci::session admin() const {
        return soci::session("postgresql", DatabaseLocation::parse(uri_).connectString());
    }

    // Whether the server refuses the client's session within a few seconds: a session ended
    // through another server or the operator command is heard of from the database.
    static bool refusedSoon(JsonRpcAppServer& client) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto result = client.call("GetDatasAFazer", {"ANA"});
            if (!result.ok() && result.error->code == rpc_error::NotAuthenticated) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::string uri_;
    std::string schema_;
    std::unique_ptr<ServerProcess> first_;
    std::unique_ptr<ServerProcess> second_;
};

TEST_F(SharedPostgresTest, WritesThroughOneServerAreSeenThroughTheOther) {
    JsonRpcAppServer one("127.0.0.1", first_->port());
    ASSERT_TRUE(one.Login("ANA", "senha-da-ana").ok());
    // The session opened on one server is good on the other.
    JsonRpcAppServer two("127.0.0.1", second_->port());
    two.setToken(one.token());
    ASSERT_TRUE(two.call("GetDatasAFazer", {"ANA"}).ok());
    EXPECT_TRUE(two.call("GetDatasAFazer", {"ANA"}).payload.asPacket().rows.empty());

    // Numbers come from one sequence whichever server is asked.
    EXPECT_EQ(one.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("1"));
    EXPECT_EQ(two.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("2"));
    EXPECT_EQ(one.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("3"));

    const Row row =
        reminderRow({"ANA", "2", "Pelo segundo", DateTime(kDay, std::chrono::hours(9))});
    ASSERT_TRUE(two.call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))}).ok());
    // The first server's cached marked days follow the write made through the second.
    const auto days = one.call("GetDatasAFazer", {"ANA"});
    ASSERT_TRUE(days.ok());
    ASSERT_EQ(days.payload.asPacket().rows.size(), 1u);
    EXPECT_EQ(days.payload.asPacket().rows[0][0], Variant(kDay));

    Row byOne = row;
    byOne[2] = "Mudado pelo primeiro";
    ASSERT_TRUE(one.call("SetAfazer", {Variant(reminderDelta({updateOf(row, byOne)}))}).ok());
    Row byTwo = row;
    byTwo[4] = "R";
    const auto stale = two.call("SetAfazer", {Variant(reminderDelta({updateOf(row, byTwo)}))});
    ASSERT_FALSE(stale.ok());
    EXPECT_EQ(stale.error->code, rpc_error::Conflict);
    const auto agenda = two.call("GetAFazer", {"", "ANA", DateTime(kDay), true, true, true});
    EXPECT_EQ(render(agenda.payload.asPacket()), "2 Mudado pelo primeiro 08/12/2026 09:00:00 P");

    // A logout through one server ends the session there at once, and on the other as soon as
    // the database tells it.
    ASSERT_TRUE(one.call("Logout", {}).ok());
    EXPECT_EQ(one.call("GetDatasAFazer", {"ANA"}).error->code, rpc_error::NotAuthenticated);
    EXPECT_TRUE(refusedSoon(two));
}

TEST_F(SharedPostgresTest, TheOperatorCommandEndsTheSessionsOfEveryServer) {
    JsonRpcAppServer one("127.0.0.1", first_->port());
    ASSERT_TRUE(one.Login("ANA", "senha-da-ana").ok());
    JsonRpcAppServer two("127.0.0.1", second_->port());
    two.setToken(one.token());
    // Asked twice each, so that each server has the session in hand.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(one.call("GetDatasAFazer", {"ANA"}).ok());
        ASSERT_TRUE(two.call("GetDatasAFazer", {"ANA"}).ok());
    }
    ASSERT_EQ(first_->runCommand({"operator", "passwd", "ANA"}, "outra-senha\n"), 0);
    EXPECT_TRUE(refusedSoon(one));
    EXPECT_TRUE(refusedSoon(two));
    EXPECT_TRUE(one.Login("ANA", "outra-senha").ok());
}

TEST_F(SharedPostgresTest, NumbersAskedOfBothServersAtOnceAreNeverShared) {
    JsonRpcAppServer login("127.0.0.1", first_->port());
    ASSERT_TRUE(login.Login("ANA", "senha-da-ana").ok());
    constexpr int kCalls = 40;
    const auto reserve = [&](int port) {
        JsonRpcAppServer client("127.0.0.1", port);
        client.setToken(login.token());
        std::vector<std::string> numbers;
        for (int i = 0; i < kCalls; ++i) {
            const auto result = client.call(
                i % 2 ? "GetPrxAtivPessoal" : "GetPrxAtivPessoalBloco",
                i % 2 ? std::vector<Variant>{"ANA"} : std::vector<Variant>{"ANA", Variant(3)});
            numbers.push_back(result.ok() ? result.payload.asString() : "falhou");
        }
        return numbers;
    };
    auto one = std::async(std::launch::async, reserve, first_->port());
    auto two = std::async(std::launch::async, reserve, second_->port());
    std::set<long long> issued;
    for (auto* numbers : {&one, &two}) {
        for (const auto& first : numbers->get()) {
            ASSERT_NE(first, "falhou");
            // A block of three holds its first number and the two after it.
            const long long number = std::stoll(first);
            EXPECT_TRUE(issued.insert(number).second) << number;
        }
    }
    // 40 single numbers and 40 blocks of three: 160 numbers, 1 to 160, each once.
    JsonRpcAppServer next("127.0.0.1", second_->port());
    next.setToken(login.token());
    EXPECT_EQ(next.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("161"));
    EXPECT_EQ(issued.size(), 2u * kCalls);
}

}  // namespace
}  // namespace lembrete::testing
