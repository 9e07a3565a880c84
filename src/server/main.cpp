// lembrete-server: serves "lmb00300.rdmLembrete" over HTTP/JSON-RPC, or manages operators.
#include <pthread.h>
#include <signal.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <filesystem>
#include <iostream>
#include <thread>

#include "data/reminder_record.h"
#include "interchange/local_zone.h"
#include "server/calendar_export.h"
#include "server/calendar_feed.h"
#include "server/command_line.h"
#include "server/database_backup.h"
#include "server/feed_route.h"
#include "server/http_frontend.h"
#include "server/http_routes.h"
#include "server/operator_accounts.h"
#include "server/operator_command.h"
#include "server/reminder_service.h"
#include "server/rpc_dispatcher.h"
#include "server/rpc_route.h"
#include "server/store.h"

namespace {

using namespace lembrete;

// SIGINT and SIGTERM are blocked in every thread and taken by one waiting thread, which stops
// the front end: no handler ever runs in the middle of a request.
class StopSignals {
  public:
    StopSignals() {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    }

    void watch(HttpFrontend& frontend) {
        waiter_ = std::thread([this, &frontend] {
            int signal = 0;
            sigwait(&signals_, &signal);
            frontend.stop();
        });
    }

    ~StopSignals() {
        if (waiter_.joinable()) {
            // The front end stopped by itself: wake the waiter.
            pthread_kill(waiter_.native_handle(), SIGTERM);
            waiter_.join();
        }
    }

  private:
    sigset_t signals_{};
    std::thread waiter_;
};

int serve(const CommandLine& line, Store& store) {
    StopSignals stopSignals;
    ReminderService service(store, SessionPolicy{line.sessionIdle});
    RpcDispatcher dispatcher(service);
    CalendarFeed feed(store);
    HttpRoutes routes;
    routes.add(rpcRoute(dispatcher));
    routes.add(feedRoute(feed));
    HttpFrontend frontend(routes, line.threads);
    if (!line.tlsCertificate.empty()) {
        frontend.useTls(line.tlsCertificate, line.tlsKey);
    }
    frontend.bind(line.host, line.port);
    stopSignals.watch(frontend);
    // A PostgreSQL URI may carry a password: name only the kind of database then.
    const bool isSqlite = store.location().backend == Backend::Sqlite;
    std::cerr << "lembrete-server: ouvindo em "
              << (line.tlsCertificate.empty() ? "http://" : "https://") << line.host << ":"
              << line.port << ", banco " << (isSqlite ? line.database : std::string("PostgreSQL"))
              << std::endl;
    frontend.run();
    std::cerr << "lembrete-server: encerrado." << std::endl;
    return 0;
}

int run(const CommandLine& line) {
    if (line.action == CommandLine::Action::Help) {
        std::cout << CommandLine::usage();
        return 0;
    }
    if (line.action == CommandLine::Action::Version) {
        std::cout << CommandLine::version() << "\n";
        return 0;
    }
    // A connection serves one request at a time (the store leases it), so SQLite's own lock
    // around every call, and its count of the memory in use, are only costs. Set before any
    // database opens.
    sqlite_api::sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    sqlite_api::sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    const auto location = DatabaseLocation::parse(line.database);
    // Only serving and adding an operator may start a new database; any other command on a
    // file that is not there is a mistyped path.
    const bool mayCreate =
        line.action == CommandLine::Action::Serve ||
        (line.action == CommandLine::Action::Operator && line.operatorVerb == "add");
    if (location.backend == Backend::Sqlite && !mayCreate &&
        !std::filesystem::exists(location.target)) {
        throw std::runtime_error("O banco de dados " + location.target +
                                 " não existe; nada foi criado.");
    }
    // One connection per worker thread at most; each request holds one while it runs.
    const int poolSize = line.action == CommandLine::Action::Serve ? line.threads : 1;
    Store store(location, poolSize);
    if (line.action == CommandLine::Action::Serve) {
        return serve(line, store);
    }
    auto connection = store.lease();
    if (line.action == CommandLine::Action::Backup) {
        backupDatabase(*connection, line.backupFile);
        std::cerr << "Cópia do banco de dados gravada em " << line.backupFile << "." << std::endl;
        return 0;
    }
    if (line.action == CommandLine::Action::Export) {
        const auto operatorCode = ReminderRecord::operatorCode(line.operatorCode);
        if (!OperatorAccounts::exists(*connection, operatorCode)) {
            throw std::runtime_error("O operador " + operatorCode + " não existe.");
        }
        ExportRange range;
        range.from = line.from;
        range.to = line.to;
        std::cout << CalendarExport::text(*connection, operatorCode, range, localZoneName())
                  << std::flush;
        return std::cout ? 0 : 1;
    }
    runOperatorCommand(line, *connection);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    try {
        line = CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "lembrete-server: " << error.what() << "\n" << CommandLine::usage();
        return 2;
    }
    try {
        return run(line);
    } catch (const std::exception& error) {
        std::cerr << "lembrete-server: " << error.what() << std::endl;
        return 1;
    }
}
