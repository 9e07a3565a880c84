// End-to-end cost of saving a long series through the editor: a real lembrete-server on a
// loopback port with a durable SQLite file (WAL, full synchronous), the agenda window open, and
// a daily reminder with no end date started on 31 December 2026 (3,654 occurrences, to
// 31 December 2036). Measured from the click on "OK" to the reloaded agenda: wall time and the
// number of server round trips (each run clicks "Hoje" on the agenda first), counted by a wrapper
// around the client's transport. Two cases: the series starts on the agenda's selected day, or on
// another day (the agenda then also moves its calendar, which loads the list once more). A third
// group of figures: the first occurrence of a daily series of 3,650 opened and its time, its long
// description (about a kilobyte) or its date (a day on, then back) changed for "Todos da série",
// from "OK" to the reloaded agenda. Usage: editor_series_save [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "agenda/agenda_module.h"
#include "agenda/frm_a_fazer.h"
#include "editor/editor_unit.h"
#include "editor/frm_manut_afazer.h"
#include "net/json_rpc_app_server.h"
#include "series/series_change.h"
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

// A server of its own, the agenda open on `agendaDay` and the editor unit, every call counted.
struct Session {
    explicit Session(Date agendaDay) {
        server.addOperator(kOperator, kPassword);
        server.start();
        host.SetOperador(kOperator);
        host.SetWebPort(server.port());
        host.SetNow(DateTime(agendaDay, std::chrono::hours(9)));
        host.SetTransportFactory([this](const std::string& address, int port, const std::string&) {
            auto connection = std::make_unique<JsonRpcAppServer>(address, port);
            connection->Login(kOperator, kPassword);
            return std::make_unique<CountingAppServer>(std::move(connection), tally);
        });
        module = std::make_unique<AgendaModule>(host);
        editor = std::make_unique<EditorUnit>(*module);
        module->IniProc();
    }

    // Clicks OK on the editor `f` and measures it up to the reloaded agenda.
    Measure confirm(TfrmManutAFazer& f) {
        const CallTally before = tally;
        const auto started = SteadyClock::now();
        f.bitConfirma.Click();
        Measure measure;
        measure.milliseconds =
            std::chrono::duration<double, std::milli>(SteadyClock::now() - started).count();
        measure.inCalls =
            std::chrono::duration<double, std::milli>(tally.spent - before.spent).count();
        measure.roundTrips = tally.count - before.count;
        return measure;
    }

    void reportErrors() const {
        if (!host.Errors().empty()) {
            std::fprintf(stderr, "falha: %s\n", host.Errors().front().c_str());
        }
    }

    testing::ServerProcess server;
    CallTally tally;
    testing::ScriptedHost host;
    std::unique_ptr<AgendaModule> module;
    std::unique_ptr<EditorUnit> editor;
};

Figures figuresOf(std::vector<Measure> measures) {
    std::sort(measures.begin(), measures.end(),
              [](const Measure& a, const Measure& b) { return a.milliseconds < b.milliseconds; });
    return {measures.front(), measures[measures.size() / 2], measures.back()};
}

Figures saveSeries(Date agendaDay, Date start, int runs) {
    Session session(agendaDay);
    std::vector<Measure> measures;
    for (int run = 0; run < runs; ++run) {
        session.module->Agenda().frmAFazer()->btnHojeDia.Click();
        Measure measure;
        session.host.OnModal("frmManutAFazer", [&](TForm& form) {
            auto& f = dynamic_cast<TfrmManutAFazer&>(form);
            f.drtDesc.TypeText("Série diária " + std::to_string(run));
            f.depData.PickDate(start);
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText("{\\rtf1 Descrição da série}");
            f.pgcGeral.SelectPage(f.tshRepeticao);
            f.panDiario.Click();
            f.rdbSemData.Click();
            measure = session.confirm(f);
        });
        session.module->CriaManutAFazer("", true);
        measures.push_back(measure);
        session.host.TakeCalls();
    }
    session.reportErrors();
    return figuresOf(measures);
}

// A daily series of `occurrences` from `start`; then, each run, its first occurrence opened,
// changed by `change` (told the run) and saved for "Todos da série".
Figures changeWholeSeries(Date start, int occurrences, int runs,
                          const std::function<void(TfrmManutAFazer&, int)>& change) {
    Session session(start);
    session.host.OnModal("frmManutAFazer", [&](TForm& form) {
        auto& f = dynamic_cast<TfrmManutAFazer&>(form);
        f.drtDesc.TypeText("Série a alterar");
        f.pgcGeral.SelectPage(f.tshRepeticao);
        f.panDiario.Click();
        f.depDataTermino.PickDate(start.addDays(occurrences - 1));
        f.bitConfirma.Click();
    });
    session.module->CriaManutAFazer("", true);
    TfrmAFazer& agenda = *session.module->Agenda().frmAFazer();
    std::vector<Measure> measures;
    for (int run = 0; run < runs; ++run) {
        // Each save leaves the agenda on the day of the occurrence it opened: the series' first.
        const std::string first = agenda.cdsAFazer.FieldByName("NRATIVPESS").AsString();
        Measure measure;
        session.host.OnModal("frmManutAFazer", [&](TForm& form) {
            auto& f = dynamic_cast<TfrmManutAFazer&>(form);
            change(f, run);
            session.host.AnswerChoice(static_cast<int>(SeriesScope::All));
            measure = session.confirm(f);
        });
        session.module->CriaManutAFazer(first, true);
        measures.push_back(measure);
        session.host.TakeCalls();
    }
    session.reportErrors();
    return figuresOf(measures);
}

// A long description of about a kilobyte, different each run, so that every run changes every
// row.
std::string longDescription(int run) {
    std::string text = "{\\rtf1\\ansi\\deff0 {\\b Pauta " + std::to_string(run) + "}\\par ";
    while (text.size() < 1000) {
        text += "Revisar o or\\'e7amento, confirmar a sala e avisar a equipe. ";
    }
    return text + "}";
}

void printChange(const char* what, int occurrences, const Figures& f) {
    std::printf(
        "%s of \"Todos da série\" changed, daily series of %d occurrences: OK -> reloaded "
        "agenda: median %6.1f ms (%5.1f .. %5.1f; %5.1f ms in server calls), %d round trips\n",
        what, occurrences, f.median.milliseconds, f.fastest.milliseconds, f.slowest.milliseconds,
        f.median.inCalls, f.median.roundTrips);
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
    const int changed = 3650;
    // The time alternates, so that every run changes every row.
    printChange("Time", changed, changeWholeSeries(start, changed, runs, [](auto& f, int run) {
                    f.dtpHora.EnterText(run % 2 == 0 ? "10:00:00" : "09:00:00");
                }));
    printChange("Description", changed,
                changeWholeSeries(start, changed, runs, [](auto& f, int run) {
                    f.pgcGeral.SelectPage(f.tshObservacao);
                    f.dbrTxAtivPess.EnterText(longDescription(run));
                }));
    // A day on, then back: the series' first occurrence is on the day the agenda shows.
    printChange("Date", changed, changeWholeSeries(start, changed, runs, [&](auto& f, int run) {
                    f.depData.PickDate(start.addDays(run % 2 == 0 ? 1 : 0));
                }));
    return 0;
}
