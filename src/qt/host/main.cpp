// lembrete-client: the desktop client. Logs the operator in (from the command line, or with the
// login dialog), opens the main window and the agenda of the module PKG_LMB00300.
#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTimer>
#include <iostream>
#include <string>
#include <variant>

#include "qt/host/client_options.h"
#include "qt/host/login_dialog.h"
#include "qt/host/main_window.h"
#include "qt/host/server_login.h"
#include "shell/clock.h"

namespace {

using namespace lembrete;

// The session: straight from the command line when it holds operator and password, else (or
// when that login fails) from the login dialog. Nothing when the user gives up, or when that
// login fails in the unattended --quit-after-start run.
std::optional<ClientSession> login(const ClientOptions& options) {
    LoginDialog dialog;
    dialog.preset(options.host, options.port, options.operatorCode);
    if (options.operatorCode && options.password) {
        const auto outcome = logIn(options.host.value_or(ClientSession{}.host),
                                   options.port.value_or(ClientSession{}.port),
                                   *options.operatorCode, *options.password);
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

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer started;
    started.start();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lembrete"));
    QApplication::setApplicationName(QStringLiteral("lembrete-client"));
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    ClientOptions options;
    try {
        const QStringList arguments = QApplication::arguments();
        std::vector<std::string> args;
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            args.push_back(arguments[i].toStdString());
        }
        options = ClientOptions::parse(args);
    } catch (const std::invalid_argument& error) {
        std::cerr << "lembrete-client: " << error.what() << "\n" << ClientOptions::usage();
        return 2;
    }
    if (options.passwordFromStdin) {
        std::string password;
        std::getline(std::cin, password);
        options.password = password;
    }

    const auto session = login(options);
    if (!session) {
        return 1;
    }
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
