// The client's command line, run as a person runs it: usage and version answer without a
// display, a missing value is named, and an option is never taken as the value of another.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "qt/host/client_options.h"

namespace lembrete::testing {
namespace {

struct ClientRun {
    int exitCode;
    QString out;
    QString err;
};

// The real client with no display at all.
ClientRun runClient(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LEMBRETE_CLIENT_BINARY), arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000)) << arguments.join(' ').toStdString();
    return ClientRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                     QString::fromUtf8(process.readAllStandardOutput()),
                     QString::fromUtf8(process.readAllStandardError())};
}

TEST(ClientCommandLineTest, UsageAndVersionNeedNoDisplay) {
    for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const ClientRun run = runClient({help});
        EXPECT_EQ(run.exitCode, 0) << help.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith("Uso: lembrete-client")) << run.out.toStdString();
    }
    const ClientRun version = runClient({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out.trimmed().toStdString(), ClientOptions::version());
    EXPECT_TRUE(version.out.startsWith("lembrete-client ")) << version.out.toStdString();
}

TEST(ClientCommandLineTest, AMissingValueIsNamedAndNoOptionIsTakenAsOne) {
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--server"}, "Falta o valor de --server"},
        {{"--server", "--operator", "MARIA"}, "Falta o valor de --server"},
        {{"--operator", "--password-stdin"}, "Falta o valor de --operator"},
        {{"--senha", "x"}, "Argumento inesperado: --senha"},
    };
    for (const auto& bad : cases) {
        const ClientRun run = runClient(bad.arguments);
        EXPECT_EQ(run.exitCode, 2) << bad.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(bad.message))) << run.err.toStdString();
    }
}

TEST(ClientCommandLineTest, WithoutADisplayTheClientSaysSoInsteadOfAborting) {
    const ClientRun run = runClient({"--operator", "MARIA"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8("não há tela"))) << run.err.toStdString();
}

}  // namespace
}  // namespace lembrete::testing
