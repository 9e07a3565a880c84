// Figures, not checks (disabled by default; tests/qt/measure_client.sh runs it): the agenda
// listing 10,000 reminders ("A partir da data selecionada" checked) on real widgets, with the
// time the load took and the peak resident memory of this process afterwards.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <cstdlib>
#include <iostream>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

constexpr int kReminders = 10000;

// Seeds the operator's reminders straight into the server's SQLite file, one every seven
// minutes from today 08:00 on, every third with its alarm on.
void seed(const ServerProcess& server, const char* operatorCode) {
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kReminders) + ") INSERT INTO ATIVPESSOAL SELECT '" + operatorCode +
        "', i, 'Lembrete ' || i, 'lembrete ' || i, strftime('%Y-%m-%dT%H:%M:%S', "
        "'2026-03-11 08:00:00', '+' || (i * 7) || ' minutes'), 'P', "
        "CASE WHEN i % 3 = 0 THEN 'S' ELSE 'N' END, 5, 'S', NULL, NULL FROM n;";
    const std::string command = "sqlite3 '" + server.database().string() + "' \"" + sql + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

long peakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

using MeasureTest = ClientFixture;

TEST_F(MeasureTest, DISABLED_TenThousandRemindersListed) {
    seed(*server_, kOperator);
    QElapsedTimer timer;
    timer.start();
    clickButton(agenda<QCheckBox>("ckcTodos"));
    auto* view = agenda<QTableView>("dbsAFazer");
    view->scrollToBottom();
    QApplication::processEvents();
    (void)agendaWindow()->grab();
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(gridRows(), kReminders);
    std::cout << "lista de " << gridRows() << " lembretes carregada e desenhada em " << elapsed
              << " ms; pico de memória residente do processo: " << peakResidentKiB() / 1024
              << " MiB" << std::endl;
}

}  // namespace
}  // namespace lembrete::testing
