// LoginDialog: asks for the server address and port, the operator code and the password, and
// logs in when the user presses "Entrar". A refused login keeps the dialog open with the reason
// shown ("Servidor inacessível ...", "Operador ou senha inválidos.") so the user can retry.
//
// "Conexão segura (TLS)" connects over TLS; a server typed as "https://HOST" or "http://HOST"
// decides it instead and sets the box accordingly.
// Address, port, the TLS choice and operator are remembered between runs (QSettings); the password
// never is. Widgets carry object names (edtServidor, spePorta, chkTls, edtOperador, edtSenha,
// lblErro, btnEntrar) so tests drive the dialog as a user would.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "qt/host/client_session.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lembrete {

class LoginDialog : public QDialog {
    Q_OBJECT

  public:
    explicit LoginDialog(QWidget* parent = nullptr);

    // Values to start from; each overrides the remembered one.
    void preset(const std::optional<std::string>& host, std::optional<int> port,
                const std::optional<std::string>& operatorCode,
                std::optional<bool> tls = std::nullopt);
    // The certificates a TLS server must be signed by (empty: the system's).
    void setCaFile(std::string caFile) { caFile_ = std::move(caFile); }
    // Shows why an earlier (non-interactive) login failed.
    void showRefusal(const QString& message);

    // The session of the successful login (after exec() returned Accepted).
    const ClientSession& session() const { return session_; }

    // Logs in with the current fields; on success remembers them and accepts.
    void tryLogin();

  private:
    void remember() const;

    QLineEdit* server_;
    QSpinBox* port_;
    QCheckBox* tls_;
    QLineEdit* operator_;
    QLineEdit* password_;
    QLabel* error_;
    ClientSession session_;
    std::string caFile_;
};

}  // namespace lembrete
