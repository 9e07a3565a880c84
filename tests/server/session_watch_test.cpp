// The session cache and its watch: a cache that never brings back a session ended while it was
// being read, and, on PostgreSQL, one that serves while it is kept true to the database and
// forgets every session deleted there, however it was deleted.
#include "server/session_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "server/operator_accounts.h"
#include "server/session_cache.h"
#include "server/store_connection.h"
#include "store_fixture.h"

namespace lembrete::testing {
namespace {

const StoredSession kAna{"ANA", 100, 200};

TEST(SessionCacheTest, KeepsOnlyWhatNoEndedSessionCanHaveOverrun) {
    SessionCache cache;
    cache.remember("h1", kAna, cache.generation());
    EXPECT_FALSE(cache.find("h1")) << "kept while nothing keeps it true to the database";

    cache.setServing(true);
    cache.remember("h1", kAna, cache.generation());
    ASSERT_TRUE(cache.find("h1"));
    EXPECT_EQ(cache.find("h1")->operatorCode, "ANA");
    cache.noteUse("h1", 300);
    EXPECT_EQ(cache.find("h1")->lastUse, 300);
    cache.noteUse("h2", 300);
    EXPECT_FALSE(cache.find("h2"));

    // Each way a session can end while another was being read: the read is not kept.
    const std::vector<std::pair<const char*, std::function<void()>>> endings = {
        {"forget", [&] { cache.forget("other"); }},
        {"clear", [&] { cache.clear(); }},
        {"serving again", [&] { cache.setServing(true); }},
    };
    for (const auto& [name, end] : endings) {
        const auto before = cache.generation();
        end();
        cache.remember("h3", kAna, before);
        EXPECT_FALSE(cache.find("h3")) << name;
    }
    cache.remember("h1", kAna, cache.generation());
    cache.remember("h3", kAna, cache.generation());
    cache.forget("h3");
    EXPECT_FALSE(cache.find("h3"));
    EXPECT_TRUE(cache.find("h1"));
    cache.setServing(false);
    EXPECT_FALSE(cache.find("h1"));
}

class SessionWatchTest : public StoreTest {
  protected:
    using Clock = std::chrono::steady_clock;

    void SetUp() override {
        StoreTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        connection_.emplace(store().lease());
        OperatorAccounts::add(**connection_, "ANA", "segredo-1");
        if (watched()) {
            watch_.emplace(store().location().target, cache_);
            ASSERT_TRUE(eventually([&] { return cache_.serving(); }));
        }
    }

    void TearDown() override {
        watch_.reset();
        connection_.reset();
        StoreTest::TearDown();
    }

    static bool eventually(const std::function<bool()>& condition) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::string login() {
        const auto token = OperatorAccounts::login(**connection_, "ANA", "segredo-1");
        return token.value_or("");
    }
    std::optional<std::string> operatorOf(const std::string& token,
                                          const SessionPolicy& policy = {}) {
        return OperatorAccounts::sessionOperator(**connection_, token, cache_, policy);
    }
    void sql(const std::string& statement) { (*connection_)->session() << statement; }
    bool watched() const { return GetParam() == Backend::Postgresql; }
    // Runs `change` with the triggers of SESSAO off: nobody hears of it.
    void unheard(const std::string& change) {
        if (watched()) {
            sql("ALTER TABLE SESSAO DISABLE TRIGGER USER");
        }
        sql(change);
        if (watched()) {
            sql("ALTER TABLE SESSAO ENABLE TRIGGER USER");
        }
    }
    // Whether the session is answered from the cache: relabelled unheard, it still reads as
    // ANA's. Another test's notification on this database may empty the cache in between, so a
    // watched cache is tried until it holds.
    bool answeredFromTheCache(const std::string& token) {
        const auto attempt = [&] {
            const bool read = operatorOf(token) == "ANA";
            unheard("UPDATE SESSAO SET CDOPERADOR = 'BETO'");
            const auto seen = operatorOf(token);
            unheard("UPDATE SESSAO SET CDOPERADOR = 'ANA'");
            return read && seen == "ANA";
        };
        return watched() ? eventually(attempt) : attempt();
    }

    SessionCache cache_;
    std::optional<Store::Lease> connection_;
    std::optional<SessionWatch> watch_;
};

TEST_P(SessionWatchTest, ASessionEndedAnyWayIsRefused) {
    const auto token = login();
    // Unwatched, every call reads its session; watched, the cache answers.
    EXPECT_EQ(answeredFromTheCache(token), watched());

    std::vector<std::string> endings = {"DELETE FROM SESSAO", "UPDATE SESSAO SET DTULTIMOUSO = 0",
                                        "UPDATE SESSAO SET DTCRIACAO = 0"};
    if (watched()) {
        endings.push_back("TRUNCATE SESSAO");
    }
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending);
        const auto next = login();
        ASSERT_TRUE(operatorOf(next));
        sql(ending);
        EXPECT_TRUE(eventually([&] { return !operatorOf(next); }));
    }

    // Through the accounts, as the operator command and another server do.
    const auto before = login();
    ASSERT_TRUE(operatorOf(before));
    OperatorAccounts::changePassword(**connection_, "ANA", "segredo-2");
    EXPECT_TRUE(eventually([&] { return !operatorOf(before); }));
}

TEST_P(SessionWatchTest, ASessionEndedUnheardIsRefusedAtItsNextUseWritten) {
    // Its use is written a second apart.
    const SessionPolicy policy{std::chrono::seconds(8)};
    const auto token = login();
    ASSERT_EQ(operatorOf(token, policy), "ANA");
    unheard("DELETE FROM SESSAO");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_FALSE(operatorOf(token, policy));
}

TEST_P(SessionWatchTest, AnIdleSessionEndsThoughItIsKept) {
    const SessionPolicy briefly{std::chrono::seconds(1)};
    const auto token = login();
    ASSERT_EQ(operatorOf(token, briefly), "ANA");
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_FALSE(operatorOf(token, briefly));
}

TEST_P(SessionWatchTest, ALogoutIsRefusedAtOnce) {
    const auto token = login();
    ASSERT_EQ(operatorOf(token), "ANA");
    OperatorAccounts::logout(**connection_, token, cache_);
    EXPECT_FALSE(operatorOf(token));
}

TEST_P(SessionWatchTest, AWatchThatLosesItsConnectionServesNothingUntilItListensAgain) {
    if (!watched()) {
        GTEST_SKIP() << "only PostgreSQL keeps a session cache";
    }
    const auto token = login();
    ASSERT_TRUE(operatorOf(token));
    // Other servers on this database lose theirs too, and come back the same way.
    sql("SELECT PG_TERMINATE_BACKEND(PID) FROM PG_STAT_ACTIVITY"
        " WHERE APPLICATION_NAME = 'lembrete-sessoes' AND DATNAME = CURRENT_DATABASE()");
    // Deleted while nobody listens: no notification will come.
    sql("DELETE FROM SESSAO");
    EXPECT_TRUE(eventually([&] { return !operatorOf(token); }));
    EXPECT_TRUE(eventually([&] { return !cache_.serving(); }));
    EXPECT_TRUE(eventually([&] { return cache_.serving(); }));
    EXPECT_TRUE(answeredFromTheCache(login())) << "the cache serves again";
}

INSTANTIATE_TEST_SUITE_P(Backends, SessionWatchTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgresql), backendName);

}  // namespace
}  // namespace lembrete::testing
