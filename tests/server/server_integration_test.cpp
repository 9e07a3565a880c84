// The real lembrete-server, reached through the client's JsonRpcAppServer.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <soci/soci.h>
#include <sys/wait.h>

#include <filesystem>
#include <future>
#include <nlohmann/json.hpp>
#include <thread>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/http_frontend.h"
#include "support/kill_mid_write.h"
#include "support/reminder_deltas.h"
#include "support/rpc_checks.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

const Date kDay = Date::fromParts(2026, 12, 8);

DateTime at(int hour, int minute = 0) {
    return DateTime(kDay, std::chrono::minutes(hour * 60 + minute));
}

class ServerIntegrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
        server_.start();
    }

    std::unique_ptr<JsonRpcAppServer> client(const std::string& operatorCode = "ANA") {
        return loggedInClient(server_.port(), operatorCode,
                              operatorCode == "ANA" ? "senha-da-ana" : "senha-do-beto");
    }

    static Variant ok(const ServerResult& result) { return okPayload(result); }
    static int code(const ServerResult& result) { return errorCode(result); }

    static ServerResult agenda(JsonRpcAppServer& connection,
                               const std::string& operatorCode = "ANA") {
        return connection.call("GetAFazer", {"", operatorCode, DateTime(kDay), true, true, true});
    }

    // Inserts reminders numbered from GetPrxAtivPessoal; returns their rows.
    std::vector<Row> insertReminders(JsonRpcAppServer& connection, const std::string& operatorCode,
                                     int count) {
        std::vector<Change> changes;
        std::vector<Row> rows;
        for (int i = 0; i < count; ++i) {
            const auto number = ok(connection.call("GetPrxAtivPessoal", {operatorCode})).asString();
            rows.push_back(reminderRow({operatorCode, number, "Lembrete " + number, at(9 + i)}));
            changes.push_back(insertOf(rows.back()));
        }
        EXPECT_EQ(ok(connection.call("SetAfazer", {Variant(reminderDelta(changes))})),
                  Variant(count));
        return rows;
    }

    ServerProcess server_;
};

TEST_F(ServerIntegrationTest, EveryMethod) {
    auto ana = client();
    EXPECT_EQ(ok(ana->call("GetPrxAtivPessoal", {"ANA"})), Variant("1"));
    EXPECT_EQ(ok(ana->call("GetPrxAtivPessoalBloco", {"ANA", 3650})), Variant("2"));
    EXPECT_EQ(ok(ana->call("getprxativpessoal", {"ANA"})), Variant("3652"));
    EXPECT_EQ(ok(ana->call("GetPrxNrRepetAtivPess", {"ANA"})), Variant("1"));

    const Row first = reminderRow({"ANA", "1", "Reunião", at(10), "P", "S", 15.0, "S", "5", "1"});
    const Row second =
        reminderRow({"ANA", "2", "Almoço", at(12), "R", "N", Variant(), "", "", "1"});
    EXPECT_EQ(
        ok(ana->call("SetAFazer", {Variant(reminderDelta({insertOf(first), insertOf(second)}))})),
        Variant(2));
    const auto packet = ok(ana->call("getAFazer", {"REUNIAO", "ANA", at(0), true, true, false}));
    ASSERT_EQ(packet.kind(), VariantKind::Packet);
    ASSERT_EQ(packet.asPacket().rows.size(), 1u);
    EXPECT_EQ(packet.asPacket().rows[0], first);
    EXPECT_EQ(render(ok(agenda(*ana)).asPacket()),
              "1 Reunião 08/12/2026 10:00:00 P; 2 Almoço 08/12/2026 12:00:00 R");

    const auto days = ok(ana->call("GetDatasAFazer", {"ANA"})).asPacket();
    ASSERT_EQ(days.rows.size(), 1u);
    EXPECT_EQ(days.rows[0][0], Variant(kDay));
    // The calendar asks for the weeks it shows; both ends are included.
    for (const auto& [from, to, count] : std::vector<std::tuple<Date, Date, std::size_t>>{
             {kDay, kDay, 1u},
             {kDay.addDays(-40), kDay, 1u},
             {kDay.addDays(1), kDay.addDays(40), 0u},
             {kDay.addDays(-40), kDay.addDays(-1), 0u}}) {
        const auto within =
            ok(ana->call("GetDatasAFazer", {"ANA", DateTime(from), DateTime(to)})).asPacket();
        EXPECT_EQ(within.rows.size(), count) << from.iso() << " .. " << to.iso();
        EXPECT_EQ(within.fields, days.fields);
    }

    const Row description = descriptionRow("ANA", "1", "{\\rtf1 Pauta: or\\'e7amento}");
    EXPECT_EQ(ok(ana->call("SetDescAFazer", {Variant(descriptionDelta({insertOf(description)}))})),
              Variant(1));
    for (const char* method : {"GetDescAFazer", "GetVerifObs"}) {
        const auto read = ok(ana->call(method, {"ANA", "1"})).asPacket();
        ASSERT_EQ(read.rows.size(), 1u) << method;
        EXPECT_EQ(read.rows[0], description) << method;
        EXPECT_EQ(read.fields[0].type, FieldType::Blob);
    }
    // The editor asks for the description before it has a row: empty keys read nothing.
    EXPECT_TRUE(ok(ana->call("GetDescAFazer", {"", ""})).asPacket().rows.empty());

    EXPECT_EQ(ok(ana->call("SetAfazer", {Variant(reminderDelta({deleteOf(first)}))})), Variant(1));
    EXPECT_TRUE(ok(ana->call("GetDescAFazer", {"ANA", "1"})).asPacket().rows.empty());
    EXPECT_EQ(render(ok(agenda(*ana)).asPacket()), "2 Almoço 08/12/2026 12:00:00 R");
}

TEST_F(ServerIntegrationTest, LoginAndSessions) {
    JsonRpcAppServer anonymous("127.0.0.1", server_.port());
    EXPECT_EQ(code(anonymous.call("GetDatasAFazer", {"ANA"})), rpc_error::NotAuthenticated);
    anonymous.setToken(std::string(64, 'a'));
    EXPECT_EQ(code(anonymous.call("GetDatasAFazer", {"ANA"})), rpc_error::NotAuthenticated);
    EXPECT_EQ(code(anonymous.Login("ANA", "errada")), rpc_error::LoginRefused);
    EXPECT_EQ(code(anonymous.Login("NINGUEM", "senha-da-ana")), rpc_error::LoginRefused);

    auto ana = client();
    ok(ana->call("GetDatasAFazer", {"ANA"}));
    // A second connection can carry the session of the first.
    JsonRpcAppServer shared("127.0.0.1", server_.port());
    shared.setToken(ana->token());
    ok(shared.call("GetDatasAFazer", {"ANA"}));

    EXPECT_EQ(server_.runCommand({"operator", "add", "ANA"}, "outra\n"), 1);
    EXPECT_EQ(server_.runCommand({"operator", "passwd", "NINGUEM"}, "outra\n"), 1);
    EXPECT_EQ(server_.runCommand({"operator", "add", "VAZIA"}, "\n"), 1);
    EXPECT_EQ(server_.runCommand({"operator", "passwd", "ANA"}, "nova-senha\n"), 0);
    EXPECT_EQ(code(ana->call("GetDatasAFazer", {"ANA"})), rpc_error::NotAuthenticated);
    EXPECT_EQ(code(ana->Login("ANA", "senha-da-ana")), rpc_error::LoginRefused);
    ok(ana->Login("ANA", "nova-senha"));
    ok(ana->call("GetDatasAFazer", {"ANA"}));
}

TEST_F(ServerIntegrationTest, TwoClientsEditingTheSameReminder) {
    auto first = client();
    auto second = client();
    const Row original = insertReminders(*first, "ANA", 1).front();
    Row byFirst = original;
    byFirst[2] = "Mudado pelo primeiro";
    Row bySecond = original;
    bySecond[4] = "R";
    EXPECT_EQ(ok(first->call("SetAfazer", {Variant(reminderDelta({updateOf(original, byFirst)}))})),
              Variant(1));
    const auto conflict =
        second->call("SetAfazer", {Variant(reminderDelta({updateOf(original, bySecond)}))});
    EXPECT_EQ(code(conflict), rpc_error::Conflict);
    // Named as the user knows it, blaming no one: it may be the same operator elsewhere.
    const std::string& message = conflict.error->message;
    const DateTime when = original[3].asDateTime();
    EXPECT_NE(message.find("\"" + original[2].toText() + "\" de " + when.date().format() + " às " +
                           when.formatTime().substr(0, 5)),
              std::string::npos)
        << message;
    EXPECT_EQ(message.find("Outro usuário"), std::string::npos) << message;
    EXPECT_EQ(message.find(original[1].toText() + " do operador"), std::string::npos) << message;
    EXPECT_EQ(code(second->call("SetAfazer", {Variant(reminderDelta({deleteOf(original)}))})),
              rpc_error::Conflict);
    EXPECT_EQ(render(ok(agenda(*second)).asPacket()),
              "1 Mudado pelo primeiro 08/12/2026 09:00:00 P");
}

TEST_F(ServerIntegrationTest, AnOperatorCannotReachAnotherOperatorsReminders) {
    auto ana = client("ANA");
    const Row row = insertReminders(*ana, "ANA", 1).front();
    ok(ana->call("SetDescAFazer",
                 {Variant(descriptionDelta({insertOf(descriptionRow("ANA", "1", "privado"))}))}));
    auto beto = client("BETO");
    ok(beto->call("GetPrxAtivPessoal", {"BETO"}));
    Row changed = row;
    changed[2] = "Invadido";
    const std::vector<std::pair<std::string, std::vector<Variant>>> attempts = {
        {"GetAFazer", {"", "ANA", DateTime(kDay), true, true, true}},
        {"GetDatasAFazer", {"ANA"}},
        {"GetDescAFazer", {"ANA", "1"}},
        {"GetVerifObs", {"ANA", "1"}},
        {"GetPrxAtivPessoal", {"ANA"}},
        {"GetPrxNrRepetAtivPess", {"ANA"}},
        {"GetPrxAtivPessoalBloco", {"ANA", 2}},
        {"SetAfazer", {Variant(reminderDelta({updateOf(row, changed)}))}},
        {"SetAfazer", {Variant(reminderDelta({deleteOf(row)}))}},
        {"SetAfazer", {Variant(reminderDelta({insertOf(reminderRow({"ANA", "1", "x", at(8)}))}))}},
        {"SetDescAFazer",
         {Variant(descriptionDelta({deleteOf(descriptionRow("ANA", "1", "privado"))}))}},
    };
    for (const auto& [method, args] : attempts) {
        EXPECT_EQ(code(beto->call(method, args)), rpc_error::OtherOperator) << method;
    }
    // Rows of B's own that point at A's key change nothing of A's either.
    Row disguised = row;
    disguised[0] = "BETO";
    EXPECT_EQ(code(beto->call("SetAfazer", {Variant(reminderDelta({deleteOf(disguised)}))})),
              rpc_error::Conflict);
    EXPECT_TRUE(ok(agenda(*beto, "BETO")).asPacket().rows.empty());
    EXPECT_EQ(render(ok(agenda(*ana)).asPacket()), "1 Lembrete 1 08/12/2026 09:00:00 P");
    EXPECT_EQ(ok(ana->call("GetDescAFazer", {"ANA", "1"})).asPacket().rows.at(0)[0],
              Variant(Blob{"privado"}));
}

TEST_F(ServerIntegrationTest, BadInputIsRefusedAndTheServerKeepsServing) {
    auto ana = client();
    const Row row = insertReminders(*ana, "ANA", 1).front();
    httplib::Client raw("127.0.0.1", server_.port());
    const auto post = [&](const std::string& body) {
        const auto response =
            raw.Post(JsonRpcAppServer::kPath, {{"Authorization", "Bearer " + ana->token()}}, body,
                     "application/json");
        EXPECT_TRUE(response);
        const auto json = nlohmann::json::parse(response->body, nullptr, false);
        return json.is_object() && json.contains("error") ? json["error"].value("code", 0) : 0;
    };
    EXPECT_EQ(post("{\"jsonrpc\":\"2.0\",\"method\":"), rpc_error::ParseError);
    EXPECT_EQ(post(R"({"method":"GetDatasAFazer","params":["ANA"],"id":1})"),
              rpc_error::InvalidRequest);
    EXPECT_EQ(post(R"({"jsonrpc":"2.0","params":["ANA"],"id":1})"), rpc_error::InvalidRequest);
    EXPECT_EQ(post(R"([1,2])"), rpc_error::InvalidRequest);
    EXPECT_EQ(
        post(
            "{\"jsonrpc\":\"2.0\",\"method\":\"GetDatasAFazer\",\"params\":[\"AN\xff\"],\"id\":1}"),
        rpc_error::ParseError);
    EXPECT_EQ(post(R"({"jsonrpc":2,"method":"GetDatasAFazer","params":["ANA"],"id":1})"),
              rpc_error::InvalidRequest);
    EXPECT_EQ(post(R"({"jsonrpc":"2.0","method":"GetPrxAtivPessoalBloco",)"
                   R"("params":["ANA",18446744073709551615],"id":1})"),
              rpc_error::InvalidParams);
    // A notification (no id) runs and gets no answer body.
    const auto notification = raw.Post(
        JsonRpcAppServer::kPath, {{"Authorization", "Bearer " + ana->token()}},
        R"({"jsonrpc":"2.0","method":"GetDatasAFazer","params":["ANA"]})", "application/json");
    ASSERT_TRUE(notification);
    EXPECT_EQ(notification->status, 204);
    EXPECT_TRUE(notification->body.empty());
    EXPECT_EQ(post(R"({"jsonrpc":"2.0","method":"GetDatasAFazer","params":{"op":"ANA"},"id":1})"),
              rpc_error::InvalidParams);

    const auto withField = [&](int index, Variant value) {
        Row changed = row;
        changed[index] = std::move(value);
        return Variant(reminderDelta({updateOf(row, changed)}));
    };
    const std::vector<std::tuple<std::string, std::vector<Variant>, int>> cases = {
        {"GetDatasAFazer", {}, rpc_error::InvalidParams},
        {"GetDatasAFazer", {"ANA", "ANA"}, rpc_error::InvalidParams},
        {"GetDatasAFazer", {"ANA", DateTime(kDay)}, rpc_error::InvalidParams},
        {"GetDatasAFazer", {"ANA", DateTime(kDay), "09/12/2026"}, rpc_error::InvalidParams},
        {"GetDatasAFazer",
         {"ANA", DateTime(kDay), DateTime(kDay.addDays(-1))},
         rpc_error::InvalidParams},
        {"GetAFazer", {"", "ANA", DateTime(kDay), "sim", true, true}, rpc_error::InvalidParams},
        {"GetAFazer", {"", "ANA", "08/12/2026", true, true, true}, rpc_error::InvalidParams},
        {"GetDescAFazer", {"ANA", 1}, rpc_error::InvalidParams},
        {"GetAFazer",
         {std::string(101, 'r'), "ANA", DateTime(kDay), true, true, true},
         rpc_error::InvalidValue},
        {"GetPrxAtivPessoalBloco", {"ANA", 0}, rpc_error::InvalidParams},
        {"GetPrxAtivPessoalBloco", {"ANA", 10001}, rpc_error::InvalidParams},
        {"SetAfazer", {"não é um delta"}, rpc_error::InvalidParams},
        {"ApagarTudo", {"ANA"}, rpc_error::MethodNotFound},
        {"SetAfazer", {withField(2, std::string(101, 'x'))}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(4, "X")}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(5, "T")}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(6, 1001.0)}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(7, "H")}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(9, "1000")}, rpc_error::InvalidValue},
        {"SetAfazer", {withField(0, "BETO")}, rpc_error::OtherOperator},
    };
    for (const auto& [method, args, expected] : cases) {
        const auto result = ana->call(method, args);
        EXPECT_EQ(code(result), expected) << method << " " << args.size();
        if (!result.ok()) {
            EXPECT_FALSE(result.error->message.empty());
        }
    }
    const std::string oversized(HttpFrontend::kMaxBodyBytes + 1, ' ');
    const auto tooLarge = raw.Post(JsonRpcAppServer::kPath, oversized, "application/json");
    ASSERT_TRUE(tooLarge);
    EXPECT_EQ(tooLarge->status, 413);
    EXPECT_EQ(nlohmann::json::parse(tooLarge->body)["error"]["code"], rpc_error::RequestTooLarge);

    EXPECT_EQ(render(ok(agenda(*ana)).asPacket()), "1 Lembrete 1 08/12/2026 09:00:00 P");
}

TEST_F(ServerIntegrationTest, ClientReconnectsAfterAServerRestart) {
    auto ana = client();
    insertReminders(*ana, "ANA", 1);
    EXPECT_TRUE(WIFEXITED(server_.stop(SIGTERM)));
    const auto down = ana->call("GetDatasAFazer", {"ANA"});
    EXPECT_EQ(code(down), rpc_error::ServerUnreachable);
    EXPECT_TRUE(down.error->message.starts_with("Servidor inacessível")) << down.error->message;
    server_.start();
    EXPECT_EQ(ok(ana->call("GetDatasAFazer", {"ANA"})).asPacket().rows.size(), 1u);
}

TEST_F(ServerIntegrationTest, SigtermEndsTheServerCleanly) {
    auto ana = client();
    insertReminders(*ana, "ANA", 2);
    const int status = server_.stop(SIGTERM);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ServerIntegrationTest, KilledInTheMiddleOfALargeDeltaKeepsAllOrNothing) {
    constexpr int kRows = 40000;
    auto ana = client();
    insertReminders(*ana, "ANA", 3);
    const long long first =
        std::stoll(ok(ana->call("GetPrxAtivPessoalBloco", {"ANA", 10000})).asString());
    for (int reserved = 10000; reserved < kRows; reserved += 10000) {
        ok(ana->call("GetPrxAtivPessoalBloco", {"ANA", 10000}));
    }
    std::vector<Change> changes;
    for (int i = 0; i < kRows; ++i) {
        changes.push_back(insertOf(
            reminderRow({"ANA", std::to_string(first + i), "Série " + std::string(60, 'x'),
                         DateTime(kDay.addDays(i % 3000)), "P", "S", 10.0, "M", "1", "1"})));
    }
    const Variant delta(reminderDelta(std::move(changes)));
    const auto outcome = killMidWrite(
        server_, [&] { return ana->call("SetAfazer", {delta}); }, 1u << 20);
    RecordProperty("killed_mid_transaction", outcome.ok() ? "no" : "yes");

    EXPECT_EQ(integrityOf(server_), "ok");
    soci::session database("sqlite3", "db=" + server_.database().string());
    int count = 0;
    database << "SELECT COUNT(*) FROM ATIVPESSOAL", soci::into(count);
    EXPECT_TRUE(count == 3 || count == 3 + kRows) << count;
    if (outcome.ok()) {
        EXPECT_EQ(count, 3 + kRows);
    }
    auto again = client();
    EXPECT_EQ(ok(again->call("GetDatasAFazer", {"ANA"})).asPacket().rows.empty(), false);
}

}  // namespace
}  // namespace lembrete::testing
