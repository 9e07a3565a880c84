#include "net/json_rpc_app_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"

namespace lembrete {
namespace {

// A port on which nothing listens: bound, read back and closed again.
int closedPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

TEST(JsonRpcAppServer, UnreachableServerIsAFailureNotAnException) {
    JsonRpcAppServer server("127.0.0.1", closedPort());
    const auto result = server.call("GetDatasAFazer", {Variant("ANA")});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->code, rpc_error::ServerUnreachable);
    EXPECT_TRUE(result.error->message.starts_with("Servidor inacessível em 127.0.0.1:"))
        << result.error->message;
}

TEST(JsonRpcAppServer, TextThatIsNotUtf8CannotBeSent) {
    JsonRpcAppServer server("127.0.0.1", closedPort());
    const auto result = server.call("GetDatasAFazer", {Variant(std::string("\xff\xfe"))});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->code, rpc_error::InvalidArgument);
}

// A stand-in HTTP peer that answers with whatever body it is given: the transport must turn
// anything that is not a JSON-RPC response into a failure.
class ScriptedPeer : public ::testing::Test {
  protected:
    void SetUp() override {
        peer_.Post(JsonRpcAppServer::kPath,
                   [this](const httplib::Request& request, httplib::Response& response) {
                       lastRequest_ = request.body;
                       lastAuthorization_ = request.get_header_value("Authorization");
                       response.set_content(reply_, "application/json");
                   });
        peer_.set_tcp_nodelay(true);
        port_ = peer_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { peer_.listen_after_bind(); });
        while (!peer_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void TearDown() override {
        peer_.stop();
        thread_.join();
    }

    httplib::Server peer_;
    std::thread thread_;
    int port_ = 0;
    std::string reply_;
    std::string lastRequest_;
    std::string lastAuthorization_;
};

TEST_F(ScriptedPeer, SendsPositionalParamsAndTheBearerToken) {
    reply_ = R"({"jsonrpc":"2.0","result":"tok123","id":1})";
    JsonRpcAppServer server("127.0.0.1", port_);
    const auto login = server.Login("ANA", "segredo");
    ASSERT_TRUE(login.ok());
    EXPECT_EQ(login.payload, Variant("tok123"));
    EXPECT_EQ(Json::parse(lastRequest_).at("params"), Json::parse(R"(["ANA","segredo"])"));
    reply_ = R"({"jsonrpc":"2.0","result":7,"id":2})";
    const auto result = server.call(
        "GetAFazer", {"", "ANA", DateTime::fromParts({2026, 12, 8}), true, false, true});
    EXPECT_EQ(result.payload, Variant(std::int64_t{7}));
    EXPECT_EQ(lastAuthorization_, "Bearer tok123");
    const auto request = Json::parse(lastRequest_);
    EXPECT_EQ(request.at("jsonrpc"), "2.0");
    EXPECT_EQ(request.at("method"), "GetAFazer");
    EXPECT_EQ(request.at("params"),
              Json::parse(R"(["","ANA","2026-12-08T00:00:00",true,false,true])"));
}

TEST_F(ScriptedPeer, ServerErrorsKeepTheirCodeAndMessage) {
    reply_ = R"({"jsonrpc":"2.0","error":{"code":1005,"message":"Conflito"},"id":1})";
    JsonRpcAppServer server("127.0.0.1", port_);
    const auto result = server.call("SetAfazer", {Variant()});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->code, rpc_error::Conflict);
    EXPECT_EQ(result.error->message, "Conflito");
}

TEST_F(ScriptedPeer, EnvelopeMembersInAnyOrderAndUnreadOnesSkipped) {
    JsonRpcAppServer server("127.0.0.1", port_);
    reply_ =
        R"({"id":{"x":[1]},"error":{"data":{"a":[1,{}]},"message":"Negado","code":1003},"jsonrpc":"2.0"})";
    const auto error = server.call("GetDatasAFazer", {"ANA"});
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error->code, rpc_error::OtherOperator);
    EXPECT_EQ(error.error->message, "Negado");
    reply_ = R"({"id":[1],"result":{"fields":[{"name":"DTATIVPESS","type":"datetime"}],)"
             R"("rows":[["2026-12-08T00:00:00"]]},"extra":{"b":2},"jsonrpc":"2.0"})";
    const auto days = server.call("GetDatasAFazer", {"ANA"});
    ASSERT_TRUE(days.ok());
    ASSERT_EQ(days.payload.kind(), VariantKind::Packet);
    EXPECT_EQ(days.payload.asPacket().rows.at(0).at(0), Variant(Date::fromParts(2026, 12, 8)));
}

TEST_F(ScriptedPeer, AnswersThatAreNotJsonRpcAreFailures) {
    JsonRpcAppServer server("127.0.0.1", port_);
    for (const char* reply : {"<html>", R"({"result":1})", R"({"jsonrpc":"2.0","id":1})",
                              R"({"jsonrpc":"2.0","error":{"code":"x"},"id":1})",
                              R"({"jsonrpc":"2.0","result":{"fields":3},"id":1})",
                              R"({"jsonrpc":"2.0","result":[1],"id":1})",
                              R"({"jsonrpc":"2.0","error":{"message":"sem código"},"id":1})",
                              R"([{"jsonrpc":"2.0","result":1,"id":1}])"}) {
        reply_ = reply;
        const auto result = server.call("GetDatasAFazer", {"ANA"});
        ASSERT_FALSE(result.ok()) << reply;
        EXPECT_EQ(result.error->code, rpc_error::BadResponse) << reply;
    }
}

TEST_F(ScriptedPeer, AnswersWithTextThatIsNotUtf8AreFailures) {
    JsonRpcAppServer server("127.0.0.1", port_);
    reply_ = "{\"jsonrpc\":\"2.0\",\"result\":\"AN\xc3\",\"id\":1}";
    const auto result = server.call("GetPrxAtivPessoal", {"ANA"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->code, rpc_error::BadResponse);
    reply_ = "{\"jsonrpc\":\"2.0\",\"result\":\"ANA\",\"id\":1}";
    EXPECT_EQ(server.call("GetPrxAtivPessoal", {"ANA"}).payload, Variant("ANA"));
}

}  // namespace
}  // namespace lembrete
