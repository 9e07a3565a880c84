// Several processes opening one new SQLite file at the same moment: every one of them creates
// or finds the schema, none fails on a lock.
#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "net/json_rpc_app_server.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

constexpr int kTrials = 5;

TEST(ConcurrentStart, OperatorCommandsOnANewDatabase) {
    for (int trial = 0; trial < kTrials; ++trial) {
        ServerProcess server;
        std::vector<std::future<int>> commands;
        for (const char* code : {"ANA", "BETO", "CIRO", "DORA"}) {
            commands.push_back(std::async(std::launch::async, [&server, code] {
                return server.runCommand({"operator", "add", code}, "senha-longa\n");
            }));
        }
        for (auto& command : commands) {
            EXPECT_EQ(command.get(), 0) << "trial " << trial;
        }
        server.start();
        for (const char* code : {"ANA", "BETO", "CIRO", "DORA"}) {
            JsonRpcAppServer client("127.0.0.1", server.port());
            EXPECT_TRUE(client.Login(code, "senha-longa").ok()) << code << " trial " << trial;
        }
    }
}

TEST(ConcurrentStart, TwoServersOnANewDatabase) {
    for (int trial = 0; trial < kTrials; ++trial) {
        ServerProcess first;
        ServerProcess second(first.databaseArgument());
        first.launch();
        second.launch();
        EXPECT_NO_THROW(first.awaitListening()) << "trial " << trial;
        EXPECT_NO_THROW(second.awaitListening()) << "trial " << trial;
        first.addOperator("ANA", "senha-longa");
        for (const ServerProcess* server : {&first, &second}) {
            JsonRpcAppServer client("127.0.0.1", server->port());
            const auto login = client.Login("ANA", "senha-longa");
            EXPECT_TRUE(login.ok()) << "trial " << trial << ": " << login.error->message;
        }
    }
}

}  // namespace
}  // namespace lembrete::testing
