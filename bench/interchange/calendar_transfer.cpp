// Export and import of 10,000 reminders through a real lembrete-server: the export command's
// wall time, and the importer's (read, preview and one write) wall time and the peak memory of
// this process, which plays the client. One run per process, so that the peak is the import's:
// run it three times and take the medians.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "data/reminder_record.h"
#include "interchange/calendar_reader.h"
#include "interchange/local_zone.h"
#include "interchange/reminder_importer.h"
#include "net/json_rpc_app_server.h"
#include "support/reminder_deltas.h"
#include "support/scripted_host.h"
#include "support/server_process.h"

namespace {

using namespace lembrete;
using namespace lembrete::testing;
using WallClock = std::chrono::steady_clock;

constexpr int kReminders = 10'000;

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double secondsSince(WallClock::time_point start) {
    return std::chrono::duration<double>(WallClock::now() - start).count();
}

void seed(JsonRpcAppServer& connection) {
    const long long first = std::stoll(
        connection.call("GetPrxAtivPessoalBloco", {"ANA", kReminders}).payload.asString());
    std::vector<Change> reminders;
    std::vector<Change> descriptions;
    const Date start = Date::fromParts(2027, 1, 1);
    for (int i = 0; i < kReminders; ++i) {
        const std::string number = std::to_string(first + i);
        reminders.push_back(insertOf(reminderRow(
            ReminderValues("ANA", number, "Lembrete " + number,
                           DateTime(start.addDays(i / 4), std::chrono::hours(8 + i % 4)),
                           i % 3 ? "P" : "R", i % 3 ? "S" : "N", Variant(15.0), "S", "100"))));
        descriptions.push_back(insertOf(
            descriptionRow("ANA", number, "<p>Descrição do lembrete <b>" + number + "</b></p>")));
    }
    connection.call("SetAfazer", {Variant(reminderDelta(reminders))});
    connection.call("SetDescAFazer", {Variant(descriptionDelta(descriptions))});
}

}  // namespace

int main() {
    ServerProcess server;
    server.addOperator("ANA", "senha-da-ana");
    server.addOperator("BETO", "senha-do-beto");
    server.start();
    {
        JsonRpcAppServer ana("127.0.0.1", server.port());
        ana.Login("ANA", "senha-da-ana");
        seed(ana);
    }
    std::string file;
    const auto exportStart = WallClock::now();
    server.runCommand({"export", "--operator", "ANA"}, "", &file);
    const double exportSeconds = secondsSince(exportStart);

    JsonRpcAppServer beto("127.0.0.1", server.port());
    beto.Login("BETO", "senha-do-beto");
    ScriptedHost host;
    ReminderGateway gateway(host, [&beto]() -> AppServer& { return beto; });
    const long before = peakKilobytes();
    const auto importStart = WallClock::now();
    const auto contents = CalendarReader(localZoneName()).read(file);
    ReminderImporter importer(gateway, "BETO");
    importer.preview(contents, false);
    const auto report = importer.write(contents, false);
    const double importSeconds = secondsSince(importStart);
    std::printf(
        "reminders=%d file_bytes=%zu export_s=%.2f import_s=%.2f imported=%zu "
        "client_peak_kb_before_import=%ld client_peak_kb_after_import=%ld\n",
        kReminders, file.size(), exportSeconds, importSeconds, report.imported, before,
        peakKilobytes());
    return report.imported == static_cast<std::size_t>(kReminders) ? 0 : 1;
}
