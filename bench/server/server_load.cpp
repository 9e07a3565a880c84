// Load driver for lembrete-server. Seeds a store (SQLite or PostgreSQL) with operators ×
// reminders spread over a span of marked days (directly through the store, in big
// transactions), starts the real server on a loopback port and measures it:
//   1. one agenda load (GetAFazer for a day + GetDatasAFazer for the weeks the calendar shows +
//      GetDescAFazer): p50 / p99, then each method alone with its CPU per call on both sides
//      and the size of its reply;
//   2. the first marked-days read after a change of the operator's reminders;
//   3. N concurrent clients doing agenda loads: calls/s, CPU per call, the server's peak RSS;
//   4. a 3,650-row insert delta plus its 3,650 descriptions, durable: time;
//   5. the alarm poll (GetAlarmesAFazer + GetNrAlteracaoAFazer), with nothing due yet and with
//      a year and a half of alarms nobody dismissed: p50 / p99, server CPU per poll, and what
//      1,000 desktops polling every 30 s cost (--alarms-only runs this alone);
//   6. with --views-only, this alone: the week and month views' load (one GetAFazerPeriodo for
//      a random day's week or month of the first operator) and the search over all dates
//      (ProcurarAFazer: a text every description holds, a rare reference, one nobody has, and
//      the walk through five pages, and two texts of two characters), each p50 / p99 with the
//      rows and bytes of a reply; --searches N calls per text (60).
// CPU is read from each process's CPU-time clock (to the nanosecond): the driver's, the
// server's and, on PostgreSQL, that of the database's backend processes, so that CPU per call
// shows every side. With --series-only the driver runs the series insert (4) alone, three
// times on fresh numbers.
// With --raw the clients send prepared request texts and only check that a result came back,
// so the driver's own decoding does not hide the server's ceiling.
//
// Usage: lembrete_server_load [--db URI|FILE] [--port N] [--operators N] [--reminders N]
//          [--days N] [--first-day yyyy-mm-dd] [--clients N] [--seconds N] [--raw]
//          [--whole-history] [--server PATH] [--as-is] [--alarms-only] [--views-only]
//          [--searches N] [--series-only]
// A store that already holds the first operator's reminders is reused as it is; with --as-is
// the driver does not open it at all (no seeding, no accounts, no schema upgrade), so that an
// older server can be measured on a store it still reads.
#include <httplib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/base64.h"
#include "net/json_codec.h"
#include "net/json_rpc_app_server.h"
#include "server/alarm_queries.h"
#include "server/operator_accounts.h"
#include "server/reminder_queries.h"
#include "server/search_key.h"
#include "server/store.h"
#include "views/calendar_view.h"

namespace {

using namespace lembrete;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

struct Options {
    std::string db = "sqlite:/tmp/lembrete-bench.db";
    int port = 18399;
    int operators = 1000;
    int reminders = 1000;  // per operator
    int days = 3 * 365;    // the span the reminders are spread over
    Date firstDay = Date::fromParts(2026, 1, 1);
    int clients = 8;
    double seconds = 5;
    bool raw = false;
    bool wholeHistory = false;  // GetDatasAFazer(operator) as older clients call it
    bool asIs = false;
    bool alarmsOnly = false;
    bool viewsOnly = false;
    bool seriesOnly = false;
    int searches = 60;  // calls per search text in --views-only
    std::string serverBinary = LEMBRETE_SERVER_BINARY;

    // Accounts: one per client operator, then the series operator (no seeded reminders).
    int seriesOperator() const { return operators; }
    int clientOperator(int client) const { return client % operators; }
};

std::string operatorCode(int index) {
    char code[16];
    std::snprintf(code, sizeof code, "OP%04d", index);
    return code;
}

Date dayOf(const Options& options, int operatorIndex, int reminder) {
    return options.firstDay.addDays((reminder * 7 + operatorIndex) % options.days);
}

long long storedReminders(StoreConnection& connection, const std::string& code) {
    auto& count =
        connection.statement("SELECT COUNT(*) FROM ATIVPESSOAL WHERE CDOPERADOR = :op", "t", "i");
    count.setText(0, code);
    return count.execute() ? count.integer(0) : 0;
}

bool hasAccount(StoreConnection& connection, const std::string& code) {
    auto& select =
        connection.statement("SELECT COUNT(*) FROM OPERADOR WHERE CDOPERADOR = :op", "t", "i");
    select.setText(0, code);
    return select.execute() && select.integer(0) > 0;
}

void seed(StoreConnection& connection, const Options& options) {
    const auto started = Clock::now();
    auto& reminders = connection.statement(
        "INSERT INTO ATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEATPESS, DSREFEBUSCA, DTATIVPESS, "
        "IDSITUATPESS,"
        " IDALARATPESS, QTSEGUATPESS, IDUNITATPESS, NRPRIOATPESS, NRREPETATIVP)"
        " VALUES (:a, :b, :c, :d, :e, :f, :g, :h, :i, :j, :k)",
        "tttttttrttt");
    auto& descriptions = connection.statement(
        "INSERT INTO DESCATIVPESSOAL (CDOPERADOR, NRATIVPESS, TXATIVPESS, DSDESCBUSCA)"
        " VALUES (:a, :b, :c, :d)",
        "tttt");
    auto& sequences = connection.statement(
        "INSERT INTO SEQATIVPESSOAL (CDOPERADOR, IDSEQUENCIA, NRULTIMO) VALUES (:a, 'A', :b)",
        "ti");
    const std::string description =
        "{\\rtf1 Reunião com o cliente sobre o orçamento do próximo ano}";
    const std::string text = base64::encode(description);
    const std::string descriptionKey = descriptionSearchKey(description);
    constexpr long long kRowsPerTransaction = 100000;
    long long written = 0;
    connection.beginWrite();
    for (int op = 0; op < options.operators; ++op) {
        const auto code = operatorCode(op);
        for (int n = 1; n <= options.reminders; ++n) {
            const auto reference = "Reunião " + std::to_string(n) + " com o cliente";
            const DateTime when(dayOf(options, op, n),
                                std::chrono::minutes(8 * 60 + (n % 20) * 30));
            reminders.setText(0, code);
            reminders.setText(1, std::to_string(n));
            reminders.setText(2, reference);
            reminders.setText(3, searchKey(reference));
            reminders.setText(4, when.iso());
            reminders.setText(5, n % 3 == 0 ? "R" : "P");
            reminders.setText(6, n % 2 == 0 ? "S" : "N");
            reminders.setReal(7, 15.0);
            reminders.setText(8, "S");
            reminders.setText(9, std::to_string(n % 10));
            reminders.setNull(10);
            reminders.execute();
            descriptions.setText(0, code);
            descriptions.setText(1, std::to_string(n));
            descriptions.setText(2, text);
            descriptions.setText(3, descriptionKey);
            descriptions.execute();
            if (++written % kRowsPerTransaction == 0) {
                connection.commit();
                connection.beginWrite();
            }
        }
        sequences.setText(0, code);
        sequences.setInteger(1, options.reminders);
        sequences.execute();
    }
    connection.commit();
    std::cout << "seeded " << written << " reminders (and as many descriptions) in "
              << std::chrono::duration<double>(Clock::now() - started).count() << " s\n";
}

void prepareStore(const Options& options) {
    const auto opening = Clock::now();
    Store store(DatabaseLocation::parse(options.db), 1);
    std::cout << "store opened (its schema brought up to date) in "
              << std::chrono::duration<double>(Clock::now() - opening).count() << " s\n";
    auto connection = store.lease();
    const auto held = storedReminders(*connection, operatorCode(0));
    if (held == 0) {
        seed(*connection, options);
        // The server computes alarm times as it writes; the seed wrote around it.
        WriteTransaction transaction(*connection);
        AlarmQueries::armAll(*connection);
        transaction.commit();
    } else if (held != options.reminders) {
        throw std::runtime_error("the store holds " + std::to_string(held) +
                                 " reminders for OP0000, not " + std::to_string(options.reminders) +
                                 ": give another --db or empty this one");
    }
    std::vector<int> accounts;
    for (int client = 0; client <= options.clients; ++client) {
        accounts.push_back(options.clientOperator(client));
    }
    accounts.push_back(options.seriesOperator());
    for (const int index : accounts) {
        if (!hasAccount(*connection, operatorCode(index))) {
            OperatorAccounts::add(*connection, operatorCode(index), "senha-de-carga");
        }
    }
}

long statusField(pid_t pid, const char* name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(name)) {
            return std::stol(line.substr(std::string(name).size()));
        }
    }
    return 0;
}

// CPU seconds a process has used so far, to the nanosecond (its CPU-time clock); nullopt once
// it has gone. On a machine shared with other work, CPU per call says more than wall-clock
// rates do.
std::optional<double> processCpuSeconds(pid_t pid) {
    clockid_t clock{};
    timespec spent{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &spent) != 0) {
        return std::nullopt;
    }
    return static_cast<double>(spent.tv_sec) + static_cast<double>(spent.tv_nsec) / 1e9;
}

// The CPU used by each side of a measure: this driver, the server and, on PostgreSQL, the
// database's backend processes serving it (found in pg_stat_activity; the test cluster runs on
// this machine). A backend that ends between two samples takes its CPU with it: `lost` counts
// those.
class CpuMeter {
  public:
    struct Sample {
        double driver = 0;
        double server = 0;
        std::map<pid_t, double> backends;
    };
    struct Spent {
        double driver = 0;
        double server = 0;
        double backends = 0;
        int lost = 0;
    };

    CpuMeter(const Options& options, pid_t server) : server_(server) {
        const auto location = DatabaseLocation::parse(options.db);
        if (location.backend == Backend::Postgresql) {
            database_ = std::make_unique<StoreConnection>(location);
        }
    }

    bool seesBackends() const { return database_ != nullptr; }

    Sample sample() {
        Sample sample;
        sample.driver = processCpuSeconds(getpid()).value_or(0);
        sample.server = processCpuSeconds(server_).value_or(0);
        if (database_) {
            auto& backends = database_->statement(
                "SELECT pid FROM pg_stat_activity WHERE datname = current_database()"
                " AND pid <> pg_backend_pid()",
                "", "i");
            for (bool more = backends.execute(); more; more = backends.fetch()) {
                const auto pid = static_cast<pid_t>(backends.integer(0));
                if (const auto spent = processCpuSeconds(pid)) {
                    sample.backends[pid] = *spent;
                }
            }
        }
        return sample;
    }

    Spent since(const Sample& before) {
        const Sample now = sample();
        Spent spent{now.driver - before.driver, now.server - before.server, 0, 0};
        for (const auto& [pid, seconds] : now.backends) {
            const auto earlier = before.backends.find(pid);
            spent.backends += seconds - (earlier == before.backends.end() ? 0 : earlier->second);
        }
        for (const auto& [pid, seconds] : before.backends) {
            spent.lost += now.backends.contains(pid) ? 0 : 1;
        }
        return spent;
    }

    // "server X us, database backends Y us, load driver Z us" per call.
    std::string perCall(const Spent& spent, double calls) const {
        std::ostringstream text;
        text << "server " << spent.server / calls * 1e6 << " us";
        if (seesBackends()) {
            text << ", database backends " << spent.backends / calls * 1e6 << " us";
            if (spent.lost > 0) {
                text << " (" << spent.lost << " ended meanwhile, not counted)";
            }
        }
        text << ", load driver " << spent.driver / calls * 1e6 << " us";
        return text.str();
    }

  private:
    pid_t server_;
    std::unique_ptr<StoreConnection> database_;
};

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// The six weeks a month calendar shows around `day`, Sunday first, as the agenda asks for them.
std::pair<Date, Date> visibleWeeks(Date day) {
    const Date first = day.addDays(1 - day.day());
    const Date from = first.addDays(1 - first.weekday());
    return {from, from.addDays(41)};
}

enum Method : std::size_t { kGetAFazer, kGetDatasAFazer, kGetDescAFazer, kMethodCount };
constexpr std::array<const char*, kMethodCount> kMethodNames = {"GetAFazer", "GetDatasAFazer",
                                                                "GetDescAFazer"};

// One desktop's connection: calls through the client transport (decoding every reply), or in
// raw mode posts the encoded request and only checks that a result came back.
class AgendaClient {
  public:
    AgendaClient(const Options& options, int operatorIndex)
        : options_(options),
          code_(operatorCode(operatorIndex)),
          server_("127.0.0.1", options.port),
          random_(static_cast<unsigned>(operatorIndex)) {
        if (!server_.Login(code_, "senha-de-carga").ok()) {
            throw std::runtime_error("login failed for " + code_);
        }
        if (options.raw) {
            raw_ = std::make_unique<httplib::Client>("127.0.0.1", options.port);
            raw_->set_keep_alive(true);
            raw_->set_tcp_nodelay(true);
            headers_.emplace("Authorization", "Bearer " + server_.token());
        }
    }

    const std::string& code() const { return code_; }
    JsonRpcAppServer& server() { return server_; }

    std::vector<Variant> arguments(Method method, Date day, int number) const {
        switch (method) {
            case kGetAFazer:
                return {"", code_, DateTime(day), true, true, false};
            case kGetDatasAFazer: {
                if (options_.wholeHistory) {
                    return {code_};
                }
                const auto [from, to] = visibleWeeks(day);
                return {code_, DateTime(from), DateTime(to)};
            }
            case kGetDescAFazer:
            case kMethodCount:
                break;
        }
        return {code_, std::to_string(number)};
    }

    // One agenda load on a random day: the day's list, the marked days, one description.
    void load() {
        const Date day = options_.firstDay.addDays(static_cast<int>(random_() % options_.days));
        const int number = 1 + static_cast<int>(random_() % options_.reminders);
        for (std::size_t m = 0; m < kMethodCount; ++m) {
            timed(static_cast<Method>(m), arguments(static_cast<Method>(m), day, number));
        }
    }

    // A call, its latency kept (in ms) when recording; returns the size of the reply text.
    std::size_t timed(Method method, const std::vector<Variant>& args) {
        const auto start = Clock::now();
        const std::size_t size = options_.raw ? rawCall(method, args) : decodedCall(method, args);
        if (recording) {
            latencies[method].push_back(Milliseconds(Clock::now() - start).count());
        }
        return size;
    }

    bool recording = false;
    std::array<std::vector<double>, kMethodCount> latencies;

  private:
    std::size_t decodedCall(Method method, const std::vector<Variant>& args) {
        const auto result = server_.call(kMethodNames[method], args);
        if (!result.ok()) {
            throw std::runtime_error(std::string(kMethodNames[method]) +
                                     " failed: " + result.error->message);
        }
        return 0;
    }

    std::size_t rawCall(Method method, const std::vector<Variant>& args) {
        std::string body = "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"";
        body += kMethodNames[method];
        body += "\",\"params\":[";
        for (std::size_t i = 0; i < args.size(); ++i) {
            body += i == 0 ? "" : ",";
            body += json_codec::encodeVariant(args[i]);
        }
        body += "]}";
        const auto response =
            raw_->Post(JsonRpcAppServer::kPath, headers_, body, "application/json");
        constexpr std::string_view kResult = "{\"jsonrpc\":\"2.0\",\"result\":";
        if (!response || response->status != 200 || !response->body.starts_with(kResult)) {
            throw std::runtime_error(std::string(kMethodNames[method]) + " failed: " +
                                     (response ? response->body.substr(0, 200) : "no answer"));
        }
        return response->body.size();
    }

    const Options& options_;
    std::string code_;
    JsonRpcAppServer server_;
    std::unique_ptr<httplib::Client> raw_;
    httplib::Headers headers_;
    std::mt19937 random_;
};

void oneClient(const Options& options, CpuMeter& cpu) {
    AgendaClient client(options, 0);
    for (int i = 0; i < 200; ++i) {
        client.load();
    }
    std::vector<double> loads;
    client.recording = true;
    for (int i = 0; i < 3000; ++i) {
        const auto start = Clock::now();
        client.load();
        loads.push_back(Milliseconds(Clock::now() - start).count());
    }
    std::cout << "agenda load (3 calls), 1 client: p50 " << percentile(loads, 0.5) << " ms, p99 "
              << percentile(loads, 0.99) << " ms\n";
    for (std::size_t m = 0; m < kMethodCount; ++m) {
        std::cout << "  " << kMethodNames[m] << " within the loads: p50 "
                  << percentile(client.latencies[m], 0.5) << " ms, p99 "
                  << percentile(client.latencies[m], 0.99) << " ms\n";
    }
    // Each method alone, many times over on one day: the CPU it costs on both sides.
    const Date day = dayOf(options, 0, 1);
    for (std::size_t m = 0; m < kMethodCount; ++m) {
        constexpr int kCalls = 1000;
        const auto method = static_cast<Method>(m);
        const auto args = client.arguments(method, day, 1);
        const auto before = cpu.sample();
        client.latencies[m].clear();
        std::size_t replySize = 0;
        for (int i = 0; i < kCalls; ++i) {
            replySize = client.timed(method, args);
        }
        const auto spent = cpu.since(before);
        std::cout << "  " << kMethodNames[m] << " alone: p50 "
                  << percentile(client.latencies[m], 0.5) << " ms, p99 "
                  << percentile(client.latencies[m], 0.99)
                  << " ms; CPU per call: " << cpu.perCall(spent, kCalls);
        if (options.raw) {
            std::cout << "; reply " << replySize << " bytes";
        }
        std::cout << '\n';
    }
}

// The marked days are rebuilt when the operator's reminders change: each round inserts a
// reminder and deletes it again (the data stays as it was), then reads the marked days.
void firstReadsAfterChange(const Options& options) {
    AgendaClient client(options, 0);
    const auto& code = client.code();
    const Date day = dayOf(options, 0, 1);
    const auto args = client.arguments(kGetDatasAFazer, day, 1);
    std::vector<double> firstReads;
    for (int round = 0; round < 30; ++round) {
        const auto number = client.server().call("GetPrxAtivPessoal", {code});
        if (!number.ok()) {
            throw std::runtime_error("GetPrxAtivPessoal failed");
        }
        const DateTime when(day, std::chrono::hours(7));
        const Row row = {code,
                         number.payload,
                         "Ligar para o fornecedor",
                         when,
                         "P",
                         "N",
                         Variant(),
                         Variant(),
                         "07:00:00",
                         "0",
                         day.format(),
                         Variant()};
        for (const auto kind : {ChangeKind::Insert, ChangeKind::Delete}) {
            auto delta = ReminderQueries::agendaFields();
            delta.changes.push_back(kind == ChangeKind::Insert ? Change{kind, {}, row}
                                                               : Change{kind, row, {}});
            const auto applied = client.server().call("SetAfazer", {Variant(delta)});
            if (!applied.ok()) {
                throw std::runtime_error("SetAfazer failed: " + applied.error->message);
            }
        }
        client.recording = true;
        client.latencies[kGetDatasAFazer].clear();
        client.timed(kGetDatasAFazer, args);
        client.recording = false;
        firstReads.push_back(client.latencies[kGetDatasAFazer].front());
    }
    std::cout << "  GetDatasAFazer, first read after a change: p50 " << percentile(firstReads, 0.5)
              << " ms, max " << percentile(firstReads, 1.0) << " ms\n";
}

void manyClients(const Options& options, pid_t serverPid, CpuMeter& cpu) {
    std::vector<std::unique_ptr<AgendaClient>> clients;
    for (int i = 1; i <= options.clients; ++i) {
        clients.push_back(std::make_unique<AgendaClient>(options, options.clientOperator(i)));
    }
    std::atomic<bool> running{true};
    std::atomic<long> loads{0};
    long peakRss = 0;
    std::vector<std::thread> threads;
    const auto before = cpu.sample();
    const auto start = Clock::now();
    for (auto& client : clients) {
        threads.emplace_back([&, c = client.get()] {
            while (running) {
                c->load();
                ++loads;
            }
        });
    }
    while (Clock::now() - start < std::chrono::duration<double>(options.seconds)) {
        peakRss = std::max(peakRss, statusField(serverPid, "VmRSS:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    running = false;
    for (auto& thread : threads) {
        thread.join();
    }
    const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double calls = static_cast<double>(kMethodCount) * static_cast<double>(loads);
    const auto spent = cpu.since(before);
    std::cout << options.clients << " clients" << (options.raw ? " (raw)" : "") << ": "
              << static_cast<long>(calls / elapsed) << " calls/s ("
              << static_cast<long>(static_cast<double>(loads) / elapsed) << " agenda loads/s)\n";
    std::cout << "CPU per call: " << cpu.perCall(spent, calls)
              << "; with both cores free that is at most "
              << static_cast<long>(2 * calls / (spent.server + spent.backends + spent.driver))
              << " calls/s\n";
    std::cout << "server RSS during the run: peak sampled " << static_cast<double>(peakRss) / 1024
              << " MiB, VmHWM since start "
              << static_cast<double>(statusField(serverPid, "VmHWM:")) / 1024 << " MiB\n";
}

void seriesInsert(const Options& options) {
    AgendaClient client(options, options.seriesOperator());
    const auto& code = client.code();
    const auto start = Clock::now();
    const auto first = client.server().call("GetPrxAtivPessoalBloco", {code, 3650});
    const auto repetition = client.server().call("GetPrxNrRepetAtivPess", {code});
    if (!first.ok() || !repetition.ok()) {
        throw std::runtime_error("numbers for the series not reserved");
    }
    const long long number = std::stoll(first.payload.asString());
    auto reminders = ReminderQueries::agendaFields();
    auto descriptions = ReminderQueries::descriptionFields();
    for (int i = 0; i < 3650; ++i) {
        const auto nr = std::to_string(number + i);
        const DateTime when(Date::fromParts(2030, 1, 1).addDays(i), std::chrono::hours(9));
        reminders.changes.push_back(
            {ChangeKind::Insert,
             {},
             Row{code, nr, "Tomar o remédio", when, "P", "S", 10.0, "S", "09:00:00", "5",
                 when.date().format(), repetition.payload}});
        descriptions.changes.push_back(
            {ChangeKind::Insert, {}, Row{Blob{"{\\rtf1 Tomar 1 comprimido em jejum.}"}, code, nr}});
    }
    const auto built = Clock::now();
    const auto a = client.server().call("SetAfazer", {Variant(reminders)});
    const auto sentReminders = Clock::now();
    const auto b = client.server().call("SetDescAFazer", {Variant(descriptions)});
    const auto done = Clock::now();
    if (!a.ok() || !b.ok()) {
        throw std::runtime_error("series insert failed: " + (a.ok() ? b : a).error->message);
    }
    std::cout << "3650-row series: SetAfazer " << Milliseconds(sentReminders - built).count()
              << " ms + SetDescAFazer " << Milliseconds(done - sentReminders).count()
              << " ms = " << Milliseconds(done - built).count()
              << " ms durable (numbers reserved and deltas built in "
              << Milliseconds(built - start).count() << " ms)\n";
}

// The alarm poll every desktop makes every 30 s, from one connection per operator polled.
void alarmPolls(const Options& options, CpuMeter& cpu) {
    constexpr int kPolls = 2000;
    constexpr double kDesktops = 1000;
    constexpr double kPollSeconds = 30;
    std::vector<std::unique_ptr<AgendaClient>> clients;
    for (int i = 0; i <= options.clients; ++i) {
        clients.push_back(std::make_unique<AgendaClient>(options, options.clientOperator(i)));
    }
    const std::array<std::pair<const char*, DateTime>, 2> moments = {{
        {"nothing due yet", DateTime(options.firstDay, std::chrono::hours(7))},
        {"undismissed backlog",
         DateTime(options.firstDay.addDays(options.days / 2), std::chrono::hours(12))},
    }};
    for (const auto& [name, until] : moments) {
        std::vector<double> alarms;
        std::vector<double> polls;
        std::size_t rows = 0;
        const auto before = cpu.sample();
        for (int i = 0; i < kPolls; ++i) {
            auto& client = *clients[static_cast<std::size_t>(i) % clients.size()];
            const auto start = Clock::now();
            const auto due = client.server().call("GetAlarmesAFazer", {client.code(), until});
            const auto afterAlarms = Clock::now();
            const auto count = client.server().call("GetNrAlteracaoAFazer", {client.code()});
            if (!due.ok() || !count.ok()) {
                throw std::runtime_error("alarm poll failed: " +
                                         (due.ok() ? count : due).error->message);
            }
            alarms.push_back(Milliseconds(afterAlarms - start).count());
            polls.push_back(Milliseconds(Clock::now() - start).count());
            rows += due.payload.asPacket().rows.size();
        }
        const auto spent = cpu.since(before);
        const double cpuPerPoll = (spent.server + spent.backends) / kPolls;
        const double pollsPerSecond = kDesktops / kPollSeconds;
        std::cout << "alarm poll, " << name << " (" << static_cast<double>(rows) / kPolls
                  << " alarms a poll): GetAlarmesAFazer p50 " << percentile(alarms, 0.5)
                  << " ms, p99 " << percentile(alarms, 0.99) << " ms; whole poll p50 "
                  << percentile(polls, 0.5) << " ms, p99 " << percentile(polls, 0.99)
                  << " ms; server" << (cpu.seesBackends() ? " and database backends'" : "'s")
                  << " CPU " << cpuPerPoll * 1e6 << " us a poll: " << kDesktops
                  << " desktops every " << kPollSeconds << " s = " << pollsPerSecond << " polls/s ("
                  << 2 * pollsPerSecond << " calls/s), " << cpuPerPoll * pollsPerSecond * 100
                  << " % of one core\n";
    }
}

// A figure line: "name: p50 X ms, p99 Y ms, R rows and B bytes a reply (N calls)".
void printLatencies(const std::string& name, const std::vector<double>& latencies, double rows,
                    double bytes) {
    const double calls = static_cast<double>(latencies.size());
    std::cout << name << ": p50 " << percentile(latencies, 0.5) << " ms, p99 "
              << percentile(latencies, 0.99) << " ms, " << rows / calls << " rows and "
              << bytes / calls << " bytes a reply (" << latencies.size() << " calls)\n";
}

// One call, timed; adds its rows and reply size.
Variant timedCall(JsonRpcAppServer& server, const char* method, const std::vector<Variant>& args,
                  std::vector<double>& latencies, double& rows, double& bytes) {
    const auto start = Clock::now();
    const auto result = server.call(method, args);
    latencies.push_back(Milliseconds(Clock::now() - start).count());
    if (!result.ok()) {
        throw std::runtime_error(std::string(method) + " failed: " + result.error->message);
    }
    rows += static_cast<double>(result.payload.asPacket().rows.size());
    bytes += static_cast<double>(json_codec::encodeVariant(result.payload).size());
    return result.payload;
}

// The week and month views of the first operator, and the search over all dates from as many
// operators as there are clients.
void viewLoads(const Options& options) {
    constexpr int kLoads = 300;
    AgendaClient first(options, 0);
    std::mt19937 random(7);
    for (const auto& [kind, name] : {std::pair{ViewKind::Week, "week view load"},
                                     std::pair{ViewKind::Month, "month view load"}}) {
        std::vector<double> latencies;
        double rows = 0;
        double bytes = 0;
        for (int i = 0; i < kLoads; ++i) {
            const Date day = options.firstDay.addDays(static_cast<int>(random() % options.days));
            const DayRange range = CalendarView::RangeOf(kind, day);
            timedCall(first.server(), "GetAFazerPeriodo",
                      {"", first.code(), DateTime(range.first), DateTime(range.last), true, true},
                      latencies, rows, bytes);
        }
        printLatencies(std::string(name) + " (" + first.code() + ")", latencies, rows, bytes);
    }
    std::vector<std::unique_ptr<AgendaClient>> clients;
    for (int i = 0; i <= options.clients; ++i) {
        clients.push_back(std::make_unique<AgendaClient>(options, options.clientOperator(i)));
    }
    // Two characters are too few for the trigram index: those are found by reading the keys.
    const std::array<std::pair<const char*, std::string>, 5> texts = {{
        {"every description", "orcamento"},
        {"one reference", "reuniao 777 com"},
        {"nobody's", "xyzzy"},
        {"two characters, some references", "77"},
        {"two characters, nobody's", "zq"},
    }};
    const int searches = options.searches;
    for (const auto& [name, text] : texts) {
        std::vector<double> latencies;
        double rows = 0;
        double bytes = 0;
        for (int i = 0; i < searches; ++i) {
            auto& client = *clients[static_cast<std::size_t>(i) % clients.size()];
            timedCall(client.server(), "ProcurarAFazer",
                      {client.code(), text, Variant(), Variant()}, latencies, rows, bytes);
        }
        printLatencies(std::string("search, first page, text of ") + name + " (\"" + text + "\")",
                       latencies, rows, bytes);
    }
    std::vector<double> pages;
    double rows = 0;
    double bytes = 0;
    for (int i = 0; i < searches / 5; ++i) {
        auto& client = *clients[static_cast<std::size_t>(i) % clients.size()];
        Variant afterDate;
        Variant afterNumber;
        for (int page = 0; page < 5; ++page) {
            const auto packet =
                timedCall(client.server(), "ProcurarAFazer",
                          {client.code(), "orcamento", afterDate, afterNumber}, pages, rows, bytes)
                    .asPacket();
            if (packet.rows.empty()) {
                break;
            }
            afterDate = packet.rows.back()[3];
            afterNumber = packet.rows.back()[1];
        }
    }
    printLatencies("search, each of five pages in turn", pages, rows, bytes);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--raw") {
            options.raw = true;
            continue;
        }
        if (name == "--whole-history") {
            options.wholeHistory = true;
            continue;
        }
        if (name == "--as-is") {
            options.asIs = true;
            continue;
        }
        if (name == "--alarms-only") {
            options.alarmsOnly = true;
            continue;
        }
        if (name == "--views-only") {
            options.viewsOnly = true;
            continue;
        }
        if (name == "--series-only") {
            options.seriesOnly = true;
            continue;
        }
        if (i + 1 >= argc) {
            throw std::invalid_argument("missing value after " + name);
        }
        const std::string value = argv[++i];
        if (name == "--db") {
            options.db = value.find(':') == std::string::npos ? "sqlite:" + value : value;
        } else if (name == "--port") {
            options.port = std::stoi(value);
        } else if (name == "--operators") {
            options.operators = std::stoi(value);
        } else if (name == "--reminders") {
            options.reminders = std::stoi(value);
        } else if (name == "--days") {
            options.days = std::stoi(value);
        } else if (name == "--first-day") {
            const auto day = Date::parse(value);
            if (!day) {
                throw std::invalid_argument("--first-day takes yyyy-mm-dd");
            }
            options.firstDay = *day;
        } else if (name == "--clients") {
            options.clients = std::stoi(value);
        } else if (name == "--searches") {
            options.searches = std::stoi(value);
        } else if (name == "--seconds") {
            options.seconds = std::stod(value);
        } else if (name == "--server") {
            options.serverBinary = value;
        } else {
            throw std::invalid_argument("unknown option " + name);
        }
    }
    if (options.operators < 1 || options.reminders < 1 || options.days < 1 || options.clients < 1) {
        throw std::invalid_argument("operators, reminders, days and clients must be positive");
    }
    return options;
}

std::string commandLine(int argc, char** argv) {
    std::string line = argv[0];
    for (int i = 1; i < argc; ++i) {
        line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parseOptions(argc, argv);
        if (!options.asIs) {
            prepareStore(options);
        }
    } catch (const std::exception& error) {
        std::cerr << "load driver: " << error.what() << '\n';
        return 2;
    }
    std::cout << options.operators << " operators x " << options.reminders << " reminders over "
              << options.days << " days from " << options.firstDay.iso() << "; "
              << (options.wholeHistory ? "every marked day" : "the calendar's six weeks")
              << " per load; " << (options.raw ? "replies not decoded" : "replies decoded") << '\n';
    const pid_t server = fork();
    if (server == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const std::string listen = "127.0.0.1:" + std::to_string(options.port);
        execl(options.serverBinary.c_str(), "lembrete-server", "--db", options.db.c_str(),
              "--listen", listen.c_str(), nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int status = 0;
    try {
        CpuMeter cpu(options, server);
        if (options.viewsOnly) {
            viewLoads(options);
        } else if (options.seriesOnly) {
            for (int run = 0; run < 3; ++run) {
                seriesInsert(options);
            }
        } else if (!options.alarmsOnly) {
            oneClient(options, cpu);
            firstReadsAfterChange(options);
            manyClients(options, server, cpu);
            seriesInsert(options);
        }
        if (!options.viewsOnly && !options.seriesOnly) {
            alarmPolls(options, cpu);
        }
    } catch (const std::exception& error) {
        std::cerr << "load driver: " << error.what() << '\n';
        status = 1;
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::cout << "rerun: " << commandLine(argc, argv) << '\n';
    return status;
}
