// lembrete-client: the desktop client. Logs the operator in (from the command line, or with the
// login dialog), opens the main window and the agenda of the module PKG_LMB00300.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <iostream>
#include <string>
#include <variant>

#include "qt/host/client_options.h"
#include "qt/host/language.h"
#include "qt/host/login_dialog.h"
#include "qt/host/main_window.h"
#include "qt/host/server_login.h"
#include "shell/clock.h"

namespace {

using namespace lembrete;

// However the client ends, its session on the server ends with it.
class LogOutOnExit {
  public:
    explicit LogOutOnExit(const ClientSession& session) : session_(session) {}
    ~LogOutOnExit() { logOut(session_); }
    LogOutOnExit(const LogOutOnExit&) = delete;
    LogOutOnExit& operator=(const LogOutOnExit&) = delete;

  private:
    const ClientSession& session_;
};

// The session: straight from the command line when it holds operator and password, else (or
// when that login fails) from the login dialog. Nothing when the user gives up, or when that
// login fails in the unattended --quit-after-start run.
std::optional<ClientSession> login(const ClientOptions& options) {
    LoginDialog dialog;
    dialog.preset(options.host, options.port, options.operatorCode, options.tls);
    dialog.setCaFile(options.caFile.value_or(""));
    if (options.operatorCode && options.password) {
        const auto outcome = logIn(
            options.host.value_or(ClientSession{}.host),
            options.port.value_or(ClientSession{}.port), *options.operatorCode, *options.password,
            TransportSecurity{options.tls.value_or(false), options.caFile.value_or("")});
        if (const auto* session = std::get_if<ClientSession>(&outcome)) {
            return *session;
        }
        if (options.quitAfterStart) {
            // Nobody is there to answer the dialog.
            std::cerr << "lembrete-client: " << std::get<LoginRefusal>(outcome).message << "\n";
            return std::nullopt;
        }
        dialog.showRefusal(QString::fromStdString(std::get<LoginRefusal>(outcome).message));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.session();
}

// Without a display the platform would abort the process: say so and stop instead.
bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    // Read before any window system is touched: --help and --version need no display.
    ClientOptions options;
    try {
        options = ClientOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "lembrete-client: " << error.what() << "\n" << ClientOptions::usage();
        return 2;
    }
    if (options.showHelp) {
        std::cout << ClientOptions::usage();
        return 0;
    }
    if (options.showVersion) {
        std::cout << ClientOptions::version() << "\n";
        return 0;
    }
    if (!displayAvailable()) {
        std::cerr << "lembrete-client: não há tela para abrir a janela (defina DISPLAY ou "
                     "WAYLAND_DISPLAY)\n";
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lembrete"));
    QApplication::setApplicationName(QStringLiteral("lembrete-client"));
    // The desktop entry's name: the task bar groups the windows under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lembrete-client"));
    usePortuguese(application);

    if (options.passwordFromStdin) {
        std::string password;
        std::getline(std::cin, password);
        options.password = password;
    }

    const auto session = login(options);
    if (!session) {
        return 1;
    }
    const LogOutOnExit logOutOnExit(*session);
    const SystemClock clock;
    MainWindow window(*session, clock);
    window.show();
    if (!window.openAgenda()) {
        return 1;
    }
    if (options.quitAfterStart) {
        QApplication::processEvents();
        std::cout << "agenda mostrada em " << started.elapsed() << " ms" << std::endl;
        return 0;
    }
    return QApplication::exec();
}
