// The server's HTTP side attacked as a hostile client would, on a real lembrete-server: raw
// sockets on loopback, the server's memory read from /proc.
#include "server/http_frontend.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/command_line.h"
#include "support/process_memory.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"
#include "support/test_certificate.h"

namespace lembrete::testing {
namespace {

constexpr std::size_t kMiB = 1u << 20;

struct HttpAnswer {
    int status = 0;
    std::string body;
};

// A plain socket to the server, with a receive deadline so that no test can hang.
class RawConnection {
  public:
    explicit RawConnection(int port, int timeoutSeconds = 20)
        : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        timeval timeout{timeoutSeconds, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawConnection() { close(fd_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return connected_; }

    // False once the server stopped taking data (closed, or answered and shut its side).
    bool send(std::string_view data) {
        while (!data.empty()) {
            const auto sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
            if (sent <= 0) {
                return false;
            }
            data.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    // True when the server has already answered or closed (without waiting).
    bool answered() {
        char byte = 0;
        return recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
    }

    // The next response; nullopt when the connection ends or the deadline passes first.
    std::optional<HttpAnswer> read() {
        std::size_t headerEnd = std::string::npos;
        while ((headerEnd = pending_.find("\r\n\r\n")) == std::string::npos) {
            if (!receive()) {
                return std::nullopt;
            }
        }
        HttpAnswer answer;
        answer.status = std::stoi(pending_.substr(9, 3));
        std::size_t length = 0;
        const auto header = pending_.substr(0, headerEnd);
        for (const std::string key : {"Content-Length: ", "content-length: "}) {
            if (const auto at = header.find(key); at != std::string::npos) {
                length = std::stoull(header.substr(at + key.size()));
            }
        }
        while (pending_.size() < headerEnd + 4 + length) {
            if (!receive()) {
                return std::nullopt;
            }
        }
        answer.body = pending_.substr(headerEnd + 4, length);
        pending_.erase(0, headerEnd + 4 + length);
        return answer;
    }

  private:
    bool receive() {
        char chunk[65536];
        const auto got = recv(fd_, chunk, sizeof chunk, 0);
        if (got <= 0) {
            return false;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
        return true;
    }

    int fd_;
    bool connected_ = false;
    std::string pending_;
};

std::string post(const std::string& body, const std::string& token = {}) {
    return std::string("POST ") + JsonRpcAppServer::kPath +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n" +
           (token.empty() ? "" : "Authorization: Bearer " + token + "\r\n") +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string call(const std::string& method, const std::string& params, const std::string& id) {
    return R"({"jsonrpc":"2.0","method":")" + method + R"(","params":)" + params + R"(,"id":)" +
           id + "}";
}

// "[0,0,...]" with `count` numbers.
std::string zeros(std::size_t count) {
    std::string list = "[";
    list.reserve(2 * count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        list += i == 0 ? "0" : ",0";
    }
    return list + "]";
}

nlohmann::json json(const std::optional<HttpAnswer>& answer) {
    return answer ? nlohmann::json::parse(answer->body, nullptr, false) : nlohmann::json();
}

class HttpFrontendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.start();
        baseline_ = processMemory(server_.pid(), "VmRSS");
    }

    std::string token() {
        JsonRpcAppServer ana("127.0.0.1", server_.port());
        const auto login = ana.Login("ANA", "senha-da-ana");
        EXPECT_TRUE(login.ok());
        return ana.token();
    }

    // A real call on a fresh connection, answered within its deadline.
    void expectServed(const std::string& token) {
        RawConnection connection(server_.port(), 15);
        ASSERT_TRUE(connection.connected());
        ASSERT_TRUE(connection.send(post(call("GetDatasAFazer", R"(["ANA"])", "7"), token)));
        const auto reply = json(connection.read());
        ASSERT_TRUE(reply.is_object());
        EXPECT_TRUE(reply.contains("result")) << reply.dump();
    }

    std::size_t peakGrowth() const { return processMemory(server_.pid(), "VmHWM") - baseline_; }

    ServerProcess server_;
    std::size_t baseline_ = 0;
};

TEST_F(HttpFrontendTest, AChunkedBodyOverTheLimitIsRefusedWithoutBeingKept) {
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.connected());
    ASSERT_TRUE(connection.send(std::string("POST ") + JsonRpcAppServer::kPath +
                                " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"));
    const std::string chunk = "100000\r\n" + std::string(kMiB, ' ') + "\r\n";
    for (int sent = 0; sent < 64 && !connection.answered() && connection.send(chunk); ++sent) {
    }
    const auto answer = connection.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 413);
    EXPECT_EQ(json(answer)["error"]["code"], rpc_error::RequestTooLarge);
    EXPECT_TRUE(json(answer)["error"]["message"].get<std::string>().starts_with(
        "Requisição grande demais"));
    // The body's string doubles as it grows, so for a moment it holds the old buffer (just under
    // the limit) and the new one: twice the limit, never the 64 MiB that were sent.
    EXPECT_LT(peakGrowth(), 2 * HttpFrontend::kMaxBodyBytes + 8 * kMiB);
}

TEST_F(HttpFrontendTest, ADeclaredBodyOverTheLimitIsRefusedBeforeItIsRead) {
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.send(std::string("POST ") + JsonRpcAppServer::kPath +
                                " HTTP/1.1\r\nHost: x\r\nContent-Length: 1073741824\r\n\r\n{"));
    const auto answer = connection.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 413);
    EXPECT_EQ(json(answer)["error"]["code"], rpc_error::RequestTooLarge);
}

TEST_F(HttpFrontendTest, EndlessHeadersAreRefused) {
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.send(std::string("POST ") + JsonRpcAppServer::kPath +
                                " HTTP/1.1\r\nHost: x\r\n"));
    std::string lines;
    for (int i = 0; i < 4096; ++i) {
        lines += "X-Enchimento: " + std::to_string(i) + "\r\n";
    }
    // 64 MiB of headers at most, stopping once the server has answered.
    for (std::size_t sent = 0; sent < 64 * kMiB && !connection.answered() && connection.send(lines);
         sent += lines.size()) {
    }
    const auto answer = connection.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 431);
    EXPECT_LT(peakGrowth(), 16 * kMiB);
}

TEST_F(HttpFrontendTest, ABadIdIsNeverCopiedIntoTheReply) {
    const std::vector<std::pair<std::string, int>> cases = {
        {zeros(3'000'000), rpc_error::InvalidRequest},                           // a list
        {"\"" + std::string(1'000'000, 'i') + "\"", rpc_error::InvalidRequest},  // a long text
        {zeros(8'000'000), rpc_error::RequestTooLarge},  // values beyond any call
    };
    for (const auto& [id, code] : cases) {
        RawConnection connection(server_.port());
        ASSERT_TRUE(connection.send(post(call("GetDatasAFazer", R"(["ANA"])", id))));
        const auto answer = connection.read();
        ASSERT_TRUE(answer);
        EXPECT_LT(answer->body.size(), 1024u);
        EXPECT_EQ(json(answer)["error"]["code"], code);
        EXPECT_TRUE(json(answer)["id"].is_null());
    }
}

TEST_F(HttpFrontendTest, ALongParamsListIsRefusedBeforeItIsCopied) {
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.send(post(call("Login", zeros(3'000'000), "1"))));
    const auto reply = json(connection.read());
    EXPECT_EQ(reply["error"]["code"], rpc_error::InvalidParams);
    EXPECT_EQ(reply["id"], 1);
}

// Concurrent worst cases, before any login: the server stays under 256 MiB.
TEST_F(HttpFrontendTest, SixteenConcurrentWorstCaseBodiesKeepTheServerUnder256MiB) {
    const std::string body = post(call("GetDatasAFazer", R"(["ANA"])", zeros(3'900'000)));
    ASSERT_LT(body.size(), HttpFrontend::kMaxBodyBytes);
    std::vector<std::future<int>> clients;
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::async(std::launch::async, [&] {
            RawConnection connection(server_.port(), 120);
            connection.send(body);
            const auto answer = json(connection.read());
            return answer.is_object() ? answer["error"].value("code", 0) : 0;
        }));
    }
    for (auto& client : clients) {
        EXPECT_EQ(client.get(), rpc_error::InvalidRequest);
    }
    const auto peak = processMemory(server_.pid(), "VmHWM");
    EXPECT_LT(peak, 256 * kMiB) << "peak " << peak / kMiB << " MiB";
    expectServed(token());
    std::cout << "server RSS: start " << baseline_ / kMiB << " MiB, peak " << peak / kMiB
              << " MiB, after " << processMemory(server_.pid(), "VmRSS") / kMiB << " MiB\n";
}

TEST_F(HttpFrontendTest, SlowAndIdleClientsNeverKeepOthersWaiting) {
    const auto session = token();
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 400; ++i) {
        idle.push_back(std::make_unique<RawConnection>(server_.port()));
        ASSERT_TRUE(idle.back()->connected());
    }
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 16; ++i) {
        slow.push_back(std::make_unique<RawConnection>(server_.port()));
        ASSERT_TRUE(
            slow.back()->send(std::string("POST ") + JsonRpcAppServer::kPath + " HTTP/1.1\r\n"));
    }
    for (int round = 0; round < 3; ++round) {
        for (auto& client : slow) {
            client->send("X-Devagar: " + std::to_string(round) + "\r\n");
        }
        expectServed(session);
    }
}

TEST_F(HttpFrontendTest, AThousandConnectionsAtOnceAreAllAnswered) {
    const auto session = token();
    std::vector<std::unique_ptr<RawConnection>> clients;
    for (int i = 0; i < 1000; ++i) {
        clients.push_back(std::make_unique<RawConnection>(server_.port(), 30));
        ASSERT_TRUE(clients.back()->connected()) << i;
        ASSERT_TRUE(clients.back()->send(
            post(call("GetDatasAFazer", R"(["ANA"])", std::to_string(i)), session)));
    }
    int answered = 0;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const auto reply = json(clients[i]->read());
        answered += reply.is_object() && reply["id"] == i && reply.contains("result");
    }
    EXPECT_EQ(answered, 1000);
}

TEST_F(HttpFrontendTest, PipelinedRequestsAreAllAnsweredInOrder) {
    const auto session = token();
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.send(post(call("GetDatasAFazer", R"(["ANA"])", "1"), session) +
                                post(call("GetPrxAtivPessoal", R"(["ANA"])", "2"), session) +
                                post(call("GetDatasAFazer", R"(["ANA"])", "3"), session)));
    for (int id = 1; id <= 3; ++id) {
        const auto reply = json(connection.read());
        ASSERT_TRUE(reply.is_object()) << id;
        EXPECT_EQ(reply["id"], id);
        EXPECT_TRUE(reply.contains("result")) << reply.dump();
    }
}

TEST_F(HttpFrontendTest, AClientThatExpectsToContinueIsToldToSendItsBody) {
    const std::string body = call("GetDatasAFazer", R"(["ANA"])", "5");
    RawConnection connection(server_.port());
    ASSERT_TRUE(connection.send(
        std::string("POST ") + JsonRpcAppServer::kPath +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token() +
        "\r\nExpect: 100-continue\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n"));
    const auto goOn = connection.read();
    ASSERT_TRUE(goOn);
    EXPECT_EQ(goOn->status, 100);
    ASSERT_TRUE(connection.send(body));
    const auto answer = connection.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(json(answer).contains("result")) << answer->body;

    // Too large a body is refused without being asked for.
    RawConnection large(server_.port());
    ASSERT_TRUE(large.send(std::string("POST ") + JsonRpcAppServer::kPath +
                           " HTTP/1.1\r\nHost: 127.0.0.1\r\nExpect: 100-continue\r\n"
                           "Content-Length: 1073741824\r\n\r\n"));
    const auto refused = large.read();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 413);
}

TEST_F(HttpFrontendTest, UnknownPathsAndMethodsAreRefused) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"GET " + std::string(JsonRpcAppServer::kPath) + " HTTP/1.1\r\nHost: x\r\n\r\n", 405},
        {"POST /outra HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n", 404},
        {"não é HTTP\r\n\r\n", 400},
    };
    for (const auto& [request, status] : cases) {
        RawConnection connection(server_.port());
        ASSERT_TRUE(connection.send(request));
        const auto answer = connection.read();
        ASSERT_TRUE(answer) << request;
        EXPECT_EQ(answer->status, status) << request;
    }
}

TEST(HttpsServerTest, ServesTlsWithTheGivenCertificateOnly) {
    const TestCertificate certificate("servidor");
    const TestCertificate stranger("outro");
    ASSERT_TRUE(certificate.made() && stranger.made());
    ServerProcess server;
    server.addOperator("ANA", "senha-da-ana");
    server.setExtraArguments(
        {"--tls-cert", certificate.certificate(), "--tls-key", certificate.key()});
    server.start();
    const std::string login = call("Login", R"(["ANA","senha-da-ana"])", "1");

    httplib::SSLClient trusting("127.0.0.1", server.port());
    trusting.set_ca_cert_path(certificate.certificate().c_str());
    trusting.enable_server_certificate_verification(true);
    const auto answer = trusting.Post(JsonRpcAppServer::kPath, login, "application/json");
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_TRUE(nlohmann::json::parse(answer->body)["result"].is_string()) << answer->body;

    httplib::SSLClient untrusting("127.0.0.1", server.port());
    untrusting.set_ca_cert_path(stranger.certificate().c_str());
    untrusting.enable_server_certificate_verification(true);
    const auto refused = untrusting.Post(JsonRpcAppServer::kPath, login, "application/json");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), httplib::Error::SSLServerVerification);

    // Plain HTTP on the TLS port is never served: the answer says to use TLS.
    RawConnection plain(server.port(), 10);
    plain.send(post(login));
    const auto told = plain.read();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->status, 400);
    EXPECT_NE(told->body.find("só aceita conexões seguras (TLS)"), std::string::npos) << told->body;
    EXPECT_EQ(told->body.find("\"result\""), std::string::npos) << told->body;

    // A key that does not belong to the certificate stops the server at its start.
    server.stop();
    server.setExtraArguments(
        {"--tls-cert", certificate.certificate(), "--tls-key", stranger.key()});
    EXPECT_THROW(server.start(), std::runtime_error);
}

TEST(ServerCommandLineTest, ABadPortIsRefused) {
    for (const std::string address : {"127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:80a", ":"}) {
        try {
            CommandLine::parse({"--listen", address});
            ADD_FAILURE() << address;
        } catch (const std::invalid_argument& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.starts_with("Porta inválida") ||
                        message.starts_with("Endereço inválido"))
                << message;
        }
    }
    EXPECT_THROW(CommandLine::parse({"--tls-cert", "servidor.pem"}), std::invalid_argument);
    const auto tls = CommandLine::parse({"--tls-cert", "c.pem", "--tls-key", "k.pem"});
    EXPECT_EQ(tls.tlsCertificate, "c.pem");
    EXPECT_EQ(tls.tlsKey, "k.pem");
}

}  // namespace
}  // namespace lembrete::testing
