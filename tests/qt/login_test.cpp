// Logging in: the command line, the login call against a real server, and the login dialog
// that tells why a login failed and lets the user retry.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <stdexcept>
#include <variant>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "qt/host/client_options.h"
#include "qt/host/login_dialog.h"
#include "qt/host/server_login.h"
#include "support/server_process.h"
#include "support/test_certificate.h"

namespace lembrete::testing {
namespace {

TEST(ClientOptionsTest, ReadsServerOperatorAndPasswordSources) {
    const ClientOptions options = ClientOptions::parse(
        {"--server", "10.0.0.7:9100", "--operator", "MARIA", "--password-stdin"});
    EXPECT_EQ(options.host, "10.0.0.7");
    EXPECT_EQ(options.port, 9100);
    EXPECT_EQ(options.operatorCode, "MARIA");
    EXPECT_TRUE(options.passwordFromStdin);
    EXPECT_FALSE(options.quitAfterStart);
}

TEST(ClientOptionsTest, AnHttpsServerAndACaFileAskForTls) {
    const ClientOptions tls =
        ClientOptions::parse({"--server", "https://lembrete.local:9443", "--ca", "/etc/ca.pem"});
    EXPECT_EQ(tls.host, "lembrete.local");
    EXPECT_EQ(tls.port, 9443);
    EXPECT_EQ(tls.tls, true);
    EXPECT_EQ(tls.caFile, "/etc/ca.pem");
    EXPECT_EQ(ClientOptions::parse({"--server", "http://10.0.0.7:9100"}).tls, false);
    EXPECT_FALSE(ClientOptions::parse({"--server", "10.0.0.7:9100"}).tls.has_value());
    EXPECT_THROW(ClientOptions::parse({"--server", "https://:9443"}), std::invalid_argument);
    EXPECT_THROW(ClientOptions::parse({"--ca"}), std::invalid_argument);
}

TEST(ClientOptionsTest, RefusesMalformedCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {"--server", "semporta"},  {"--server", ":8300"},
        {"--server", "host:0"},    {"--server", "host:70000"},
        {"--server", "host:12ab"}, {"--operator"},
        {"--senha", "x"}};
    for (const auto& args : bad) {
        EXPECT_THROW(ClientOptions::parse(args), std::invalid_argument) << args.front();
    }
}

TEST(ClientOptionsTest, TakesThePasswordFromTheEnvironmentUnlessStdinIsChosen) {
    qputenv(ClientOptions::kPasswordVariable, "do-ambiente");
    EXPECT_EQ(ClientOptions::parse({}).password, "do-ambiente");
    EXPECT_FALSE(ClientOptions::parse({"--password-stdin"}).password.has_value());
    qunsetenv(ClientOptions::kPasswordVariable);
    EXPECT_FALSE(ClientOptions::parse({}).password.has_value());
}

class LoginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("JOAO", "senha-certa");
        server_.start();
    }
    ServerProcess server_;
};

TEST_F(LoginTest, SaysWhyALoginFails) {
    const auto wrong = logIn("127.0.0.1", server_.port(), "JOAO", "errada");
    ASSERT_TRUE(std::holds_alternative<LoginRefusal>(wrong));
    EXPECT_EQ(std::get<LoginRefusal>(wrong).message, "Operador ou senha inválidos.");

    const int port = server_.port();
    server_.stop();
    const auto unreachable = logIn("127.0.0.1", port, "JOAO", "senha-certa");
    ASSERT_TRUE(std::holds_alternative<LoginRefusal>(unreachable));
    EXPECT_EQ(std::get<LoginRefusal>(unreachable).message.rfind("Servidor inacessível", 0), 0u);
}

TEST_F(LoginTest, CodesAreTakenInUpperCaseAndLogOutEndsTheSession) {
    const auto outcome = logIn("127.0.0.1", server_.port(), "joao", "senha-certa");
    ASSERT_TRUE(std::holds_alternative<ClientSession>(outcome));
    const auto session = std::get<ClientSession>(outcome);
    EXPECT_EQ(session.operatorCode, "JOAO");
    JsonRpcAppServer server("127.0.0.1", server_.port());
    server.setToken(session.token);
    EXPECT_TRUE(server.call("GetDatasAFazer", {"JOAO"}).ok());
    logOut(session);
    const auto after = server.call("GetDatasAFazer", {"JOAO"});
    ASSERT_FALSE(after.ok());
    EXPECT_EQ(after.error->code, rpc_error::NotAuthenticated);
}

TEST_F(LoginTest, TheDialogShowsTheRefusalAndAcceptsTheRetry) {
    LoginDialog dialog;
    dialog.preset(std::string("127.0.0.1"), server_.port(), std::string("JOAO"));
    dialog.show();
    auto* password = dialog.findChild<QLineEdit*>("edtSenha");
    auto* enter = dialog.findChild<QPushButton*>("btnEntrar");
    auto* error = dialog.findChild<QLabel*>("lblErro");
    EXPECT_EQ(dialog.findChild<QSpinBox*>("spePorta")->value(), server_.port());
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);

    QTest::keyClicks(password, "errada");
    QTest::mouseClick(enter, Qt::LeftButton);
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), "Operador ou senha inválidos.");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    password->clear();
    QTest::keyClicks(password, "senha-certa");
    QTest::mouseClick(enter, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.session().operatorCode, "JOAO");
    EXPECT_EQ(dialog.session().port, server_.port());
    EXPECT_FALSE(dialog.session().token.empty());

    LoginDialog next;  // remembers all but the password
    EXPECT_EQ(next.findChild<QLineEdit*>("edtOperador")->text(), "JOAO");
    EXPECT_EQ(next.findChild<QSpinBox*>("spePorta")->value(), server_.port());
    EXPECT_TRUE(next.findChild<QLineEdit*>("edtSenha")->text().isEmpty());
}

// The TLS choice and address this test leaves remembered must not reach the other dialog tests.
struct ForgetTheTlsChoice {
    ~ForgetTheTlsChoice() {
        QSettings settings;
        settings.remove("login/tls");
        settings.remove("login/server");
    }
};

TEST(TlsLoginDialogTest, TheBoxOrAnHttpsAddressLogsInOverTlsAndSaysWhyACertificateIsRefused) {
    const ForgetTheTlsChoice forget;
    const TestCertificate certificate("dialogo");
    ASSERT_TRUE(certificate.made());
    ServerProcess server;
    server.addOperator("JOAO", "senha-certa");
    server.setExtraArguments(
        {"--tls-cert", certificate.certificate(), "--tls-key", certificate.key()});
    server.start();

    LoginDialog dialog;
    dialog.preset(std::string("127.0.0.1"), server.port(), std::string("JOAO"), false);
    auto* tls = dialog.findChild<QCheckBox*>("chkTls");
    ASSERT_NE(tls, nullptr);
    EXPECT_EQ(tls->text(), "Conexão segura (TLS)");
    auto* password = dialog.findChild<QLineEdit*>("edtSenha");
    auto* enter = dialog.findChild<QPushButton*>("btnEntrar");
    QTest::keyClicks(password, "senha-certa");

    QTest::mouseClick(enter, Qt::LeftButton);  // plain HTTP to a TLS server
    EXPECT_NE(dialog.findChild<QLabel*>("lblErro")->text().indexOf("só aceita conexões seguras"),
              -1);
    tls->setChecked(true);
    QTest::mouseClick(enter, Qt::LeftButton);  // TLS, but its certificate is not trusted here
    EXPECT_NE(dialog.findChild<QLabel*>("lblErro")->text().indexOf("não é confiável"), -1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.setCaFile(certificate.certificate());
    password->setText("senha-certa");
    QTest::mouseClick(enter, Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.session().security.tls);
    EXPECT_EQ(dialog.session().security.caFile, certificate.certificate());
    EXPECT_TRUE(LoginDialog().findChild<QCheckBox*>("chkTls")->isChecked());  // remembered

    LoginDialog typed;  // the address's scheme decides, and the box follows it
    typed.preset(std::string("https://127.0.0.1"), server.port(), std::string("JOAO"), false);
    typed.setCaFile(certificate.certificate());
    typed.findChild<QLineEdit*>("edtSenha")->setText("senha-certa");
    QTest::mouseClick(typed.findChild<QPushButton*>("btnEntrar"), Qt::LeftButton);
    ASSERT_EQ(typed.result(), QDialog::Accepted);
    EXPECT_TRUE(typed.findChild<QCheckBox*>("chkTls")->isChecked());
    EXPECT_EQ(typed.session().host, "127.0.0.1");
}

}  // namespace
}  // namespace lembrete::testing
