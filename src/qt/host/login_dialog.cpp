#include "qt/host/login_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <variant>

#include "qt/host/server_login.h"

namespace lembrete {
namespace {

constexpr int kOperatorWidth = 12;  // characters of CDOPERADOR
const char* const kServerKey = "login/server";
const char* const kPortKey = "login/port";
const char* const kTlsKey = "login/tls";
const char* const kOperatorKey = "login/operator";

}  // namespace

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent),
      server_(new QLineEdit(this)),
      port_(new QSpinBox(this)),
      tls_(new QCheckBox(QStringLiteral("Conexão segura (TLS)"), this)),
      operator_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      error_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Lembrete - Entrar"));
    server_->setObjectName("edtServidor");
    port_->setObjectName("spePorta");
    tls_->setObjectName("chkTls");
    operator_->setObjectName("edtOperador");
    password_->setObjectName("edtSenha");
    error_->setObjectName("lblErro");

    const QSettings settings;
    server_->setText(settings.value(kServerKey, QStringLiteral("127.0.0.1")).toString());
    port_->setRange(1, 65535);
    port_->setValue(settings.value(kPortKey, ClientSession{}.port).toInt());
    tls_->setChecked(settings.value(kTlsKey, false).toBool());
    operator_->setText(settings.value(kOperatorKey).toString());
    operator_->setMaxLength(kOperatorWidth);
    password_->setEchoMode(QLineEdit::Password);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    error_->setWordWrap(true);
    error_->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Servidor:"), server_);
    form->addRow(QStringLiteral("Porta:"), port_);
    form->addRow(QString(), tls_);
    form->addRow(QStringLiteral("Operador:"), operator_);
    form->addRow(QStringLiteral("Senha:"), password_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* enter = buttons->addButton(QStringLiteral("Entrar"), QDialogButtonBox::AcceptRole);
    enter->setObjectName("btnEntrar");
    enter->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::tryLogin);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

void LoginDialog::preset(const std::optional<std::string>& host, std::optional<int> port,
                         const std::optional<std::string>& operatorCode, std::optional<bool> tls) {
    if (host) {
        server_->setText(QString::fromStdString(*host));
    }
    if (port) {
        port_->setValue(*port);
    }
    if (tls) {
        tls_->setChecked(*tls);
    }
    if (operatorCode) {
        operator_->setText(QString::fromStdString(*operatorCode));
    }
    (operator_->text().isEmpty() ? operator_ : password_)->setFocus();
}

void LoginDialog::showRefusal(const QString& message) {
    error_->setText(message);
    error_->show();
}

void LoginDialog::tryLogin() {
    if (operator_->text().trimmed().isEmpty()) {
        showRefusal(QStringLiteral("Informe o operador."));
        operator_->setFocus();
        return;
    }
    const std::string server = server_->text().trimmed().toStdString();
    if (const auto scheme = splitScheme(server).tls) {
        tls_->setChecked(*scheme);
    }
    setEnabled(false);
    const auto outcome =
        logIn(server, port_->value(), operator_->text().trimmed().toStdString(),
              password_->text().toStdString(), TransportSecurity{tls_->isChecked(), caFile_});
    setEnabled(true);
    if (const auto* refusal = std::get_if<LoginRefusal>(&outcome)) {
        showRefusal(QString::fromStdString(refusal->message));
        password_->selectAll();
        password_->setFocus();
        return;
    }
    session_ = std::get<ClientSession>(outcome);
    remember();
    accept();
}

void LoginDialog::remember() const {
    QSettings settings;
    settings.setValue(kServerKey, server_->text().trimmed());
    settings.setValue(kPortKey, port_->value());
    settings.setValue(kTlsKey, tls_->isChecked());
    settings.setValue(kOperatorKey, operator_->text().trimmed());
}

}  // namespace lembrete
