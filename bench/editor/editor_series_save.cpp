// End-to-end cost of saving a long series through the editor: a real lembrete-server on a
// loopback port with a durable SQLite file (WAL, full synchronous), the agenda window open, and
// a daily reminder with no end date started on 31 December 2026 (3,654 occurrences, to
// 31 December 2036). Measured from the click on "OK" to the reloaded agenda: wall time and the
// number of server round trips (each run clicks "Hoje" on the agenda first), counted by a wrapper
// around the client's transport. Two cases: the series starts on the agenda's selected day, or on
// another day (the agenda then also moves its calendar, which loads the list once more). Usage:
// editor_series_save [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "agenda/agenda_module.h"
#include "agenda/frm_a_fazer.h"
#include "editor/editor_unit.h"
#include "net/json_rpc_app_server.h"
#include "support/scripted_host.h"
#include "support/server_process.h"

namespace {

using namespace lembrete;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kOperator = "BENCH";
constexpr const char* kPassword = "senha-do-bench";

struct CallTally {
    int count = 0;
    SteadyClock::duration spent{};
};

// Passes every call on, counting it (one call is one HTTP round trip) and the time it took
// (encoding, the network, the server's work and decoding).
class CountingAppServer : public AppServer {
  public:
    CountingAppServer(std::unique_ptr<AppServer> inner, CallTally& tally)
        : inner_(std::move(inner)), tally_(tally) {}
    ServerResult call(std::string_view method, const std::vector<Variant>& args) override {
        const auto started = SteadyClock::now();
        ServerResult result = inner_->call(method, args);
        ++tally_.count;
        tally_.spent += SteadyClock::now() - started;
        return result;
    }

  private:
    std::unique_ptr<AppServer> inner_;
    CallTally& tally_;
};

struct Measure {
    double milliseconds = 0;
    double inCalls = 0;  // of which in server calls
    int roundTrips = 0;
};

struct Figures {
    Measure fastest;
    Measure median;
    Measure slowest;
};

Figures saveSeries(Date agendaDay, Date start, int runs) {
    testing::ServerProcess server;
    server.addOperator(kOperator, kPassword);
    server.start();

    CallTally tally;
    testing::ScriptedHost host;
    host.SetOperador(kOperator);
    host.SetWebPort(server.port());
    host.SetNow(DateTime(agendaDay, std::chrono::hours(9)));
    host.SetTransportFactory([&](const std::string& address, int port, const std::string&) {
        auto connection = std::make_unique<JsonRpcAppServer>(address, port);
        connection->Login(kOperator, kPassword);
        return std::make_unique<CountingAppServer>(std::move(connection), tally);
    });
    AgendaModule module(host);
    EditorUnit editor(module);
    module.IniProc();

    std::vector<Measure> measures;
    for (int run = 0; run < runs; ++run) {
        module.Agenda().frmAFazer()->btnHojeDia.Click();
        Measure measure;
        host.OnModal("frmManutAFazer", [&](TForm& form) {
            auto& f = dynamic_cast<TfrmManutAFazer&>(form);
            f.drtDesc.TypeText("Série diária " + std::to_string(run));
            f.depData.PickDate(start);
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText("{\\rtf1 Descrição da série}");
            f.pgcGeral.SelectPage(f.tshRepeticao);
            f.panDiario.Click();
            f.rdbSemData.Click();
            const CallTally before = tally;
            const auto started = SteadyClock::now();
            f.bitConfirma.Click();
            measure.milliseconds =
                std::chrono::duration<double, std::milli>(SteadyClock::now() - started).count();
            measure.inCalls =
                std::chrono::duration<double, std::milli>(tally.spent - before.spent).count();
            measure.roundTrips = tally.count - before.count;
        });
        module.CriaManutAFazer("", true);
        measures.push_back(measure);
        host.TakeCalls();
    }
    if (!host.Errors().empty()) {
        std::fprintf(stderr, "falha: %s\n", host.Errors().front().c_str());
    }
    std::sort(measures.begin(), measures.end(),
              [](const Measure& a, const Measure& b) { return a.milliseconds < b.milliseconds; });
    return {measures.front(), measures[measures.size() / 2], measures.back()};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    const Date start = Date::fromParts(2026, 12, 31);
    const int occurrences = start.daysUntil(openSeriesEnd(start)) + 1;
    std::printf("Daily series with no end date from %s: %d occurrences, median of %d runs\n",
                start.format().c_str(), occurrences, runs);
    const struct {
        const char* name;
        Date agendaDay;
    } cases[] = {{"agenda already on the start day", start},
                 {"agenda on another day", Date::fromParts(2026, 12, 8)}};
    for (const auto& c : cases) {
        const Figures f = saveSeries(c.agendaDay, start, runs);
        std::printf(
            "  %-33s OK -> reloaded agenda: median %6.1f ms (%5.1f .. %5.1f; %5.1f ms in "
            "server calls), %d round trips\n",
            c.name, f.median.milliseconds, f.fastest.milliseconds, f.slowest.milliseconds,
            f.median.inCalls, f.median.roundTrips);
    }
    return 0;
}
