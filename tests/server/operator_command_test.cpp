// `lembrete-server operator …` and `backup` from the command line, on real database files.
#include <gtest/gtest.h>
#include <soci/soci.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/schema.h"
#include "server/store_connection.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

class OperatorCommandTest : public ::testing::Test {
  protected:
    int run(const std::vector<std::string>& args, const std::string& input = "") {
        return server_.runCommand(args, input);
    }

    // What the last command wrote (standard output and error share the log).
    std::string output() const {
        std::ifstream log(server_.database().parent_path() / "command.log");
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

    bool logsIn(const std::string& code, const std::string& password) {
        JsonRpcAppServer client("127.0.0.1", server_.port());
        return client.Login(code, password).ok();
    }

    ServerProcess server_;
};

TEST_F(OperatorCommandTest, AVerbOnAMissingDatabaseCreatesNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"operator", "list"},
          {"operator", "passwd", "ANA"},
          {"operator", "disable", "ANA"},
          {"operator", "remove", "ANA", "--yes"},
          {"backup", (server_.database().parent_path() / "copia.db").string()}}) {
        EXPECT_EQ(run(args, "senha-longa\n"), 1) << args[1];
        EXPECT_FALSE(std::filesystem::exists(server_.database())) << args[1];
    }
    EXPECT_NE(output().find("não existe; nada foi criado"), std::string::npos) << output();
}

TEST_F(OperatorCommandTest, UsageAndRefusedInput) {
    EXPECT_EQ(run({"operator"}), 2);
    EXPECT_NE(output().find("Uso:"), std::string::npos);
    EXPECT_EQ(run({"operator", "--help"}), 0);
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_EQ(run({"operator", "apagar", "ANA"}), 2);
    EXPECT_EQ(run({"operator", "add", ""}, "senha-longa\n"), 1);
    EXPECT_EQ(run({"operator", "add", "ANA MARIA"}, "senha-longa\n"), 1);
    EXPECT_EQ(run({"operator", "add", "CODIGO_LONGO_DEMAIS"}, "senha-longa\n"), 1);
    EXPECT_EQ(run({"operator", "add", "ANA"}, "curta12\n"), 1);
    EXPECT_NE(output().find("pelo menos 8 caracteres"), std::string::npos) << output();
    EXPECT_EQ(run({"operator", "add", "ANA"}, "senha-longa\n"), 0);
    EXPECT_EQ(run({"operator", "add", "ana"}, "senha-longa\n"), 1);  // the same code
    EXPECT_EQ(run({"operator", "passwd", "ANA"}, "curta\n"), 1);
    EXPECT_EQ(run({"operator", "remove", "ANA"}), 1);
    EXPECT_NE(output().find("--yes"), std::string::npos);
}

TEST_F(OperatorCommandTest, CodesIgnoreLetterCaseAndOperatorsComeAndGo) {
    ASSERT_EQ(run({"operator", "add", "admin"}, "senha-do-admin\n"), 0);
    ASSERT_EQ(run({"operator", "add", "Beto"}, "senha-do-beto\n"), 0);
    server_.start();
    JsonRpcAppServer admin("127.0.0.1", server_.port());
    ASSERT_TRUE(admin.Login("admin", "senha-do-admin").ok());
    // The session is ADMIN's, whatever the case typed at login.
    const auto number = admin.call("GetPrxAtivPessoal", {"ADMIN"});
    ASSERT_TRUE(number.ok());
    const Row row = reminderRow(
        {"ADMIN", number.payload.asString(), "Do admin", DateTime(Date::fromParts(2026, 12, 8))});
    ASSERT_TRUE(admin.call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))}).ok());

    ASSERT_EQ(run({"operator", "list"}), 0);
    EXPECT_NE(output().find("ADMIN\nBETO\n"), std::string::npos) << output();

    ASSERT_EQ(run({"operator", "disable", "beto"}), 0);
    EXPECT_FALSE(logsIn("BETO", "senha-do-beto"));
    ASSERT_EQ(run({"operator", "list"}), 0);
    EXPECT_NE(output().find("BETO\tdesativado"), std::string::npos) << output();
    ASSERT_EQ(run({"operator", "enable", "BETO"}), 0);
    EXPECT_TRUE(logsIn("beto", "senha-do-beto"));
    ASSERT_EQ(run({"operator", "passwd", "Beto"}, "outra-senha\n"), 0);
    EXPECT_TRUE(logsIn("BETO", "outra-senha"));

    ASSERT_EQ(run({"operator", "remove", "ADMIN", "--yes"}), 0);
    EXPECT_EQ(admin.call("GetDatasAFazer", {"ADMIN"}).error->code, rpc_error::NotAuthenticated);
    EXPECT_FALSE(logsIn("ADMIN", "senha-do-admin"));
    soci::session database("sqlite3", "db=" + server_.database().string());
    int rows = -1;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL WHERE CDOPERADOR = 'ADMIN'", soci::into(rows);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(run({"operator", "remove", "ADMIN", "--yes"}), 1);
}

TEST_F(OperatorCommandTest, CodesStoredAsTypedBeforeAreRaisedToUpperCase) {
    {
        // A database as the previous version left it: codes kept as they were typed.
        StoreConnection connection(DatabaseLocation::parse(server_.databaseArgument()));
        migrateSchema(connection, 5);
        auto& session = connection.session();
        session << "INSERT INTO OPERADOR (CDOPERADOR, DSHASHSENHA) VALUES ('ana', 'x')";
        session << "INSERT INTO ATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEBUSCA, DTATIVPESS,"
                   " IDSITUATPESS, IDALARATPESS) VALUES ('ana', '1', 'r', "
                   "'2026-12-08T09:00:00', 'P', 'N')";
        session << "INSERT INTO SEQATIVPESSOAL VALUES ('ana', 'A', 1)";
        session << "INSERT INTO SESSAO VALUES ('h', 'ana', 0)";
    }
    ASSERT_EQ(run({"operator", "passwd", "ana"}, "senha-da-ana\n"), 0) << output();
    server_.start();
    JsonRpcAppServer ana("127.0.0.1", server_.port());
    ASSERT_TRUE(ana.Login("Ana", "senha-da-ana").ok());
    const auto agenda = ana.call(
        "GetAFazer", {"", "ANA", DateTime(Date::fromParts(2026, 12, 8)), true, true, true});
    ASSERT_TRUE(agenda.ok());
    EXPECT_EQ(agenda.payload.asPacket().rows.size(), 1u);
    EXPECT_EQ(ana.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("2"));
}

TEST_F(OperatorCommandTest, BackupUnderWriteLoadHasEveryCommittedRow) {
    ASSERT_EQ(run({"operator", "add", "ANA"}, "senha-da-ana\n"), 0);
    server_.start();
    JsonRpcAppServer ana("127.0.0.1", server_.port());
    ASSERT_TRUE(ana.Login("ANA", "senha-da-ana").ok());
    std::atomic<bool> stop{false};
    std::atomic<int> committed{0};
    std::thread writer([&] {
        for (int i = 0; i < 400 && !stop; ++i) {
            const auto number = ana.call("GetPrxAtivPessoal", {"ANA"});
            const Row row = reminderRow({"ANA", number.payload.asString(), "Carga",
                                         DateTime(Date::fromParts(2026, 12, 8))});
            if (ana.call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))}).ok()) {
                ++committed;
            }
        }
    });
    while (committed < 20) {
        std::this_thread::yield();
    }
    const auto copy = server_.database().parent_path() / "copia.db";
    const int before = committed;
    EXPECT_EQ(run({"backup", copy.string()}), 0) << output();
    stop = true;
    writer.join();
    soci::session database("sqlite3", "db=" + copy.string());
    std::string integrity;
    database << "PRAGMA integrity_check", soci::into(integrity);
    EXPECT_EQ(integrity, "ok");
    int rows = 0;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL", soci::into(rows);
    // Every row committed before the copy began is in it; none half written.
    EXPECT_GE(rows, before);
    EXPECT_LE(rows, committed.load());
}

}  // namespace
}  // namespace lembrete::testing
