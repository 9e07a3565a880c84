// The client transport over TLS against a real lembrete-server serving a certificate made for
// the test: trusted with the server's own certificate, refused with a reason the user can act on.
#include <gtest/gtest.h>

#include <memory>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "net/transport_security.h"
#include "support/server_process.h"
#include "support/test_certificate.h"

namespace lembrete::testing {
namespace {

// A server with one operator, over TLS with `certificate` (plain HTTP without one).
std::unique_ptr<ServerProcess> startServer(const TestCertificate* certificate) {
    auto server = std::make_unique<ServerProcess>();
    server->addOperator("ANA", "senha-da-ana");
    if (certificate != nullptr) {
        server->setExtraArguments(
            {"--tls-cert", certificate->certificate(), "--tls-key", certificate->key()});
    }
    server->start();
    return server;
}

ServerResult logIn(const std::string& host, int port, const TransportSecurity& security) {
    JsonRpcAppServer client(host, port, security);
    return client.Login("ANA", "senha-da-ana");
}

TEST(TlsClientTest, ATrustedCertificateCarriesTheSessionAndItsCalls) {
    const TestCertificate certificate("cliente-confiavel");
    ASSERT_TRUE(certificate.made());
    const auto server = startServer(&certificate);

    JsonRpcAppServer client("https://127.0.0.1", server->port(),
                            TransportSecurity{false, certificate.certificate()});
    EXPECT_TRUE(client.security().tls);
    EXPECT_EQ(client.host(), "127.0.0.1");
    const auto login = client.Login("ANA", "senha-da-ana");
    ASSERT_TRUE(login.ok()) << login.error->message;
    const auto days = client.call("GetDatasAFazer", {Variant("ANA")});
    EXPECT_TRUE(days.ok()) << days.error->message;
}

struct Refusal {
    const char* name;
    TestCertificate::Options certificate;
    bool trustIt;  // --ca with the server's certificate, else the system's store
    const char* reason;
};

TEST(TlsClientTest, ACertificateIsRefusedWithTheReason) {
    const std::vector<Refusal> cases = {
        {"sem-ca", {}, false, "não é confiável"},
        {"outro-nome", {"DNS:outro.exemplo"}, true, "foi emitido para outro nome"},
        {"expirado", {"IP:127.0.0.1", true}, true, "expirou"},
    };
    for (const auto& refusal : cases) {
        const TestCertificate certificate(refusal.name, refusal.certificate);
        ASSERT_TRUE(certificate.made()) << refusal.name;
        const auto server = startServer(&certificate);
        const auto result =
            logIn("127.0.0.1", server->port(),
                  TransportSecurity{true, refusal.trustIt ? certificate.certificate() : ""});
        ASSERT_FALSE(result.ok()) << refusal.name;
        EXPECT_EQ(result.error->code, rpc_error::ServerUnreachable) << refusal.name;
        EXPECT_TRUE(result.error->message.starts_with("O certificado do servidor 127.0.0.1"))
            << result.error->message;
        EXPECT_NE(result.error->message.find(refusal.reason), std::string::npos)
            << result.error->message;
    }
}

TEST(TlsClientTest, PlainAndTlsEndsThatDoNotMatchSaySo) {
    const TestCertificate certificate("cliente-simples");
    ASSERT_TRUE(certificate.made());
    const auto tlsServer = startServer(&certificate);
    const auto plainServer = startServer(nullptr);

    const auto plainToTls = logIn("127.0.0.1", tlsServer->port(), {});
    ASSERT_FALSE(plainToTls.ok());
    EXPECT_NE(plainToTls.error->message.find("só aceita conexões seguras (TLS)"), std::string::npos)
        << plainToTls.error->message;

    const auto tlsToPlain = logIn("https://127.0.0.1", plainServer->port(), {});
    ASSERT_FALSE(tlsToPlain.ok());
    EXPECT_EQ(tlsToPlain.error->code, rpc_error::ServerUnreachable);
    EXPECT_NE(tlsToPlain.error->message.find("provavelmente não usa TLS"), std::string::npos)
        << tlsToPlain.error->message;
}

TEST(TlsClientTest, AnUnreadableCaFileIsNamed) {
    const TestCertificate certificate("cliente-ca-ausente");
    ASSERT_TRUE(certificate.made());
    const auto server = startServer(&certificate);
    const auto result = logIn("127.0.0.1", server->port(), {true, "/nao/existe/ca.pem"});
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error->message.find("/nao/existe/ca.pem"), std::string::npos)
        << result.error->message;
}

TEST(SchemeTest, AnAddressMayNameItsScheme) {
    const std::vector<std::tuple<std::string, std::string, std::optional<bool>>> cases = {
        {"https://servidor", "servidor", true},         {"HTTPS://servidor", "servidor", true},
        {"http://10.0.0.7", "10.0.0.7", false},         {"servidor", "servidor", std::nullopt},
        {"httpservidor", "httpservidor", std::nullopt},
    };
    for (const auto& [address, host, tls] : cases) {
        const SchemeSplit split = splitScheme(address);
        EXPECT_EQ(split.host, host) << address;
        EXPECT_EQ(split.tls, tls) << address;
    }
}

}  // namespace
}  // namespace lembrete::testing
