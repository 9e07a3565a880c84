// Logins and sessions: failed logins slow down, per operator and per address (LoginThrottle
// with a clock moved by hand, and the real server with its real delays); sessions end when
// idle and on Logout; a burst of logins queues for the password checks and every one succeeds.
#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <latch>
#include <sstream>
#include <thread>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/login_throttle.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

using std::chrono::milliseconds;

class LoginThrottleTest : public ::testing::Test {
  protected:
    LoginThrottle::Clock::time_point now_{};
    LoginThrottle throttle_{[this] { return now_; }};
};

TEST_F(LoginThrottleTest, DelaysDoubleFromTheFifthFailureUpToTheCap) {
    for (int failure = 1; failure <= 4; ++failure) {
        EXPECT_EQ(throttle_.recordFailure("ANA", "10.0.0.1"), milliseconds(0)) << failure;
        EXPECT_EQ(throttle_.waitFor("ANA", "10.0.0.1"), milliseconds(0));
    }
    const milliseconds expected[] = {milliseconds(1000), milliseconds(2000), milliseconds(4000),
                                     milliseconds(8000)};
    for (const auto delay : expected) {
        EXPECT_EQ(throttle_.recordFailure("ANA", "10.0.0.1"), delay);
        EXPECT_EQ(throttle_.waitFor("ANA", "10.0.0.1"), delay);
        now_ += delay;
        EXPECT_EQ(throttle_.waitFor("ANA", "10.0.0.1"), milliseconds(0));
    }
    for (int failure = 0; failure < 20; ++failure) {
        throttle_.recordFailure("ANA", "10.0.0.1");
    }
    EXPECT_EQ(throttle_.waitFor("ANA", "10.0.0.1"), LoginThrottle::kMaxDelay);
}

TEST_F(LoginThrottleTest, OperatorAndAddressCountApart) {
    for (int i = 0; i < 5; ++i) {
        throttle_.recordFailure("ANA", "10.0.0." + std::to_string(i));
    }
    // ANA is slowed from anywhere; another operator from a fresh address is not.
    EXPECT_GT(throttle_.waitFor("ANA", "10.0.0.9"), milliseconds(0));
    EXPECT_EQ(throttle_.waitFor("BETO", "10.0.0.9"), milliseconds(0));
    for (int i = 0; i < 5; ++i) {
        throttle_.recordFailure("OP" + std::to_string(i), "10.0.0.7");
    }
    EXPECT_GT(throttle_.waitFor("BETO", "10.0.0.7"), milliseconds(0));
    throttle_.recordSuccess("ANA", "10.0.0.9");
    EXPECT_EQ(throttle_.waitFor("ANA", "10.0.0.9"), milliseconds(0));
    // Failures long ago are forgotten.
    now_ += LoginThrottle::kForgetAfter + std::chrono::seconds(1);
    EXPECT_EQ(throttle_.recordFailure("BETO", "10.0.0.8"), milliseconds(0));
}

class ServerLoginTest : public ::testing::Test {
  protected:
    void SetUp() override { server_.addOperator("ANA", "senha-da-ana"); }

    ServerResult login(const std::string& code, const std::string& password) {
        return client_.Login(code, password);
    }

    std::string serverLog() const {
        std::ifstream log(server_.log());
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

    ServerProcess server_;
    JsonRpcAppServer client_{"127.0.0.1", server_.port()};
};

TEST_F(ServerLoginTest, GuessingSlowsDownAndTheRightPasswordStillGetsInAfterTheDelay) {
    server_.start();
    for (int i = 0; i < 5; ++i) {
        const auto wrong = login("ANA", "errada-" + std::to_string(i));
        ASSERT_FALSE(wrong.ok());
        EXPECT_EQ(wrong.error->message, "Operador ou senha inválidos.");
    }
    const auto slowed = login("ANA", "senha-da-ana");
    ASSERT_FALSE(slowed.ok());
    EXPECT_EQ(slowed.error->code, rpc_error::LoginRefused);
    EXPECT_NE(slowed.error->message.find("Aguarde"), std::string::npos) << slowed.error->message;
    EXPECT_NE(serverLog().find("falhas seguidas de entrada do operador ANA"), std::string::npos)
        << serverLog();
    std::this_thread::sleep_for(LoginThrottle::kFirstDelay + milliseconds(100));
    EXPECT_TRUE(login("ana", "senha-da-ana").ok());
}

TEST_F(ServerLoginTest, GuessingOverManyOperatorsFromOneAddressSlowsThatAddressDown) {
    server_.start();
    // Each code fails once only: no operator reaches the limit, the client's address does.
    for (int i = 0; i < 5; ++i) {
        ASSERT_FALSE(login("CHUTE" + std::to_string(i), "qualquer-senha").ok());
    }
    const auto slowed = login("ANA", "senha-da-ana");
    ASSERT_FALSE(slowed.ok());
    EXPECT_EQ(slowed.error->code, rpc_error::LoginRefused);
    EXPECT_NE(slowed.error->message.find("Aguarde"), std::string::npos) << slowed.error->message;
    EXPECT_NE(serverLog().find("do endereço 127.0.0.1"), std::string::npos) << serverLog();
    std::this_thread::sleep_for(LoginThrottle::kFirstDelay + milliseconds(100));
    EXPECT_TRUE(login("ANA", "senha-da-ana").ok());
}

TEST_F(ServerLoginTest, SessionsEndWhenIdleAndOnLogout) {
    server_.start({"--session-idle", "2s"});
    ASSERT_TRUE(login("ANA", "senha-da-ana").ok());
    EXPECT_TRUE(client_.call("GetDatasAFazer", {"ANA"}).ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    const auto idle = client_.call("GetDatasAFazer", {"ANA"});
    ASSERT_FALSE(idle.ok());
    EXPECT_EQ(idle.error->code, rpc_error::NotAuthenticated);

    ASSERT_TRUE(login("ANA", "senha-da-ana").ok());
    JsonRpcAppServer other("127.0.0.1", server_.port());
    other.setToken(client_.token());
    ASSERT_TRUE(client_.call("Logout", {}).ok());
    EXPECT_EQ(other.call("GetDatasAFazer", {"ANA"}).error->code, rpc_error::NotAuthenticated);
    EXPECT_EQ(client_.call("Logout", {}).error->code, rpc_error::NotAuthenticated);
}

// The server's peak resident memory (VmHWM), in KiB.
long peakMemoryKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST_F(ServerLoginTest, ABurstOfLoginsQueuesAndEverySucceedsInBoundedMemory) {
    constexpr int kBurst = 32;
    // A worker per client: the connections are not what is measured here, the checks are.
    server_.start({"--threads", std::to_string(kBurst)});
    // Every client connects first (a call refused for want of a session), so that the burst
    // meets the password checks all at once.
    std::latch connected(kBurst);
    std::vector<std::future<ServerResult>> logins;
    for (int i = 0; i < kBurst; ++i) {
        logins.push_back(std::async(std::launch::async, [this, &connected] {
            JsonRpcAppServer client("127.0.0.1", server_.port());
            client.call("GetDatasAFazer", {"ANA"});
            connected.arrive_and_wait();
            return client.Login("ANA", "senha-da-ana");
        }));
    }
    int succeeded = 0;
    for (auto& login : logins) {
        const auto result = login.get();
        EXPECT_TRUE(result.ok()) << result.error->message;
        succeeded += result.ok() ? 1 : 0;
    }
    EXPECT_EQ(succeeded, kBurst);
    const long peak = peakMemoryKiB(server_.pid());
    RecordProperty("server_peak_kib", std::to_string(peak));
    // 8 workers checking at once would pass 150 MiB; the checks run a few at a time.
    EXPECT_LT(peak, 96 * 1024) << peak << " KiB";
}

}  // namespace
}  // namespace lembrete::testing
