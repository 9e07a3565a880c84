#include "server/session_watch.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <utility>

#include "server/session_cache.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;
using Notification = std::unique_ptr<PGnotify, decltype(&PQfreemem)>;

Connection connect(const std::string& uri) {
    // Keywords before the URI give way to its own; the application name after it holds.
    const char* keywords[] = {"connect_timeout", "dbname", "application_name", nullptr};
    const char* values[] = {"5", uri.c_str(), "lembrete-sessoes", nullptr};
    Connection connection(PQconnectdbParams(keywords, values, 1), PQfinish);
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) {
        return Connection(nullptr, PQfinish);
    }
    const Result listening(
        PQexec(connection.get(), (std::string("LISTEN ") + SessionWatch::kChannel).c_str()),
        PQclear);
    if (PQresultStatus(listening.get()) != PGRES_COMMAND_OK) {
        return Connection(nullptr, PQfinish);
    }
    return connection;
}

// Until the connection fails, goes silent or the wakeup comes (the cache serves meanwhile):
// every notification empties the cache, and a quiet connection is pinged.
void listen(PGconn* connection, SessionCache& cache, int wakeup) {
    cache.setServing(true);
    bool pingAnswered = true;
    constexpr int kPingMilliseconds =
        std::chrono::milliseconds(SessionWatch::kPingInterval).count();
    for (;;) {
        pollfd ready[] = {{PQsocket(connection), POLLIN, 0}, {wakeup, POLLIN, 0}};
        const int count = ::poll(ready, 2, kPingMilliseconds);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 || ready[1].revents != 0) {
            return;
        }
        if (count == 0) {
            if (!pingAnswered || !PQsendQuery(connection, "SELECT 1")) {
                return;
            }
            pingAnswered = false;
            continue;
        }
        if (!PQconsumeInput(connection)) {
            return;
        }
        while (!pingAnswered && !PQisBusy(connection)) {
            const Result result(PQgetResult(connection), PQclear);
            if (!result) {
                pingAnswered = true;
            } else if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
                return;
            }
        }
        bool heard = false;
        while (const Notification notification{PQnotifies(connection), PQfreemem}) {
            heard = true;
        }
        if (heard) {
            cache.clear();
        }
        if (PQstatus(connection) != CONNECTION_OK) {
            return;
        }
    }
}

}  // namespace

SessionWatch::Wakeup::Wakeup() : descriptor_(::eventfd(0, EFD_CLOEXEC)) {
    if (descriptor_ < 0) {
        throw std::runtime_error("Falha ao preparar a escuta das sessões encerradas.");
    }
}

SessionWatch::Wakeup::~Wakeup() {
    ::close(descriptor_);
}

void SessionWatch::Wakeup::signal() const {
    const std::uint64_t one = 1;
    // An eventfd write of 8 bytes fails only when the counter would overflow: it is set already.
    [[maybe_unused]] const auto written = ::write(descriptor_, &one, sizeof one);
}

SessionWatch::SessionWatch(std::string uri, SessionCache& cache)
    : uri_(std::move(uri)),
      cache_(cache),
      thread_([this](const std::stop_token& stop) { run(stop); }) {}

SessionWatch::~SessionWatch() {
    thread_.request_stop();
    wakeup_.signal();
}

void SessionWatch::run(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        if (const auto connection = connect(uri_)) {
            listen(connection.get(), cache_, wakeup_.descriptor());
            cache_.setServing(false);
        }
        if (stop.stop_requested()) {
            return;
        }
        pollfd woken{wakeup_.descriptor(), POLLIN, 0};
        ::poll(&woken, 1, std::chrono::milliseconds(kRetryInterval).count());
    }
}

void SessionWatch::createTrigger(StoreConnection& connection) {
    if (connection.backend() != Backend::Postgresql) {
        return;
    }
    auto& session = connection.session();
    // pg_notify folds the notifications of one transaction into one.
    session << std::string(
                   "CREATE FUNCTION LMBSESSAOENCERRADA() RETURNS TRIGGER LANGUAGE plpgsql"
                   " AS $$ BEGIN PERFORM pg_notify('") +
                   kChannel + "', ''); RETURN NULL; END $$";
    session << "CREATE TRIGGER SESSAO_ENCERRADA AFTER DELETE ON SESSAO"
               " FOR EACH ROW EXECUTE FUNCTION LMBSESSAOENCERRADA()";
    session << "CREATE TRIGGER SESSAO_ESVAZIADA AFTER TRUNCATE ON SESSAO"
               " FOR EACH STATEMENT EXECUTE FUNCTION LMBSESSAOENCERRADA()";
}

}  // namespace lembrete
