#include "server/session_watch.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <utility>

#include "server/schema.h"
#include "server/session_cache.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;
using Notification = std::unique_ptr<PGnotify, decltype(&PQfreemem)>;

Connection noConnection() {
    return {nullptr, PQfinish};
}

// Connects without blocking past the wakeup or kConnectTimeout; null when it fails or the
// wakeup comes first.
Connection connect(const std::string& uri, int wakeup) {
    // The application name after the URI holds over its own.
    const char* keywords[] = {"dbname", "application_name", nullptr};
    const char* values[] = {uri.c_str(), "lembrete-sessoes", nullptr};
    Connection connection(PQconnectStartParams(keywords, values, 1), PQfinish);
    if (!connection || PQstatus(connection.get()) == CONNECTION_BAD) {
        return noConnection();
    }
    constexpr int kTimeoutMilliseconds =
        std::chrono::milliseconds(SessionWatch::kConnectTimeout).count();
    for (auto state = PGRES_POLLING_WRITING; state != PGRES_POLLING_OK;
         state = PQconnectPoll(connection.get())) {
        if (state == PGRES_POLLING_FAILED) {
            return noConnection();
        }
        const short awaited = state == PGRES_POLLING_READING ? POLLIN : POLLOUT;
        pollfd ready[] = {{PQsocket(connection.get()), awaited, 0}, {wakeup, POLLIN, 0}};
        int count;
        do {
            count = ::poll(ready, 2, kTimeoutMilliseconds);
        } while (count < 0 && errno == EINTR);
        if (count <= 0 || ready[1].revents != 0) {
            return noConnection();
        }
    }
    return connection;
}

// A notification's payload is the hash of the token whose session ended; an empty one, all of
// them (the table was emptied).
void forgetNotified(PGconn* connection, SessionCache& cache) {
    while (const Notification notification{PQnotifies(connection), PQfreemem}) {
        const std::string tokenHash = notification->extra ? notification->extra : "";
        if (tokenHash.empty()) {
            cache.clear();
        } else {
            cache.forget(tokenHash);
        }
    }
}

// Until the connection fails, goes silent or the wakeup comes. The cache serves from the moment
// the LISTEN is answered; a quiet connection is pinged, and a statement left unanswered for a
// whole ping interval counts as silence.
void listen(PGconn* connection, SessionCache& cache, int wakeup) {
    if (!PQsendQuery(connection, (std::string("LISTEN ") + SessionWatch::kChannel).c_str())) {
        return;
    }
    bool listening = false;
    bool awaitingAnswer = true;
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
            if (awaitingAnswer || !PQsendQuery(connection, "SELECT 1")) {
                return;
            }
            awaitingAnswer = true;
            continue;
        }
        if (!PQconsumeInput(connection)) {
            return;
        }
        while (awaitingAnswer && !PQisBusy(connection)) {
            const Result result(PQgetResult(connection), PQclear);
            if (!result) {
                awaitingAnswer = false;
                if (!listening) {
                    listening = true;
                    cache.setServing(true);
                }
            } else if (const auto status = PQresultStatus(result.get());
                       status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
                return;
            }
        }
        forgetNotified(connection, cache);
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
        if (const auto connection = connect(uri_, wakeup_.descriptor())) {
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
    // The payload is the ended session's token hash; a TRUNCATE ends them all. Notifications of
    // one transaction with the same payload are delivered once.
    const std::string notify = std::string("PERFORM pg_notify('") + kChannel + "', ";
    session << postgresTriggerFunction("LMBSESSAOENCERRADA", "IF TG_OP = 'TRUNCATE' THEN " +
                                                                 notify + "''); ELSE " + notify +
                                                                 "OLD.DSHASHTOKEN); END IF;");
    session << "CREATE TRIGGER SESSAO_ENCERRADA AFTER DELETE ON SESSAO"
               " FOR EACH ROW EXECUTE FUNCTION LMBSESSAOENCERRADA()";
    session << "CREATE TRIGGER SESSAO_ESVAZIADA AFTER TRUNCATE ON SESSAO"
               " FOR EACH STATEMENT EXECUTE FUNCTION LMBSESSAOENCERRADA()";
    // A use only moves the last use forward; any other change may end the session early.
    session << "CREATE TRIGGER SESSAO_ALTERADA AFTER UPDATE ON SESSAO FOR EACH ROW"
               " WHEN (NEW.DTULTIMOUSO < OLD.DTULTIMOUSO OR NEW.DTCRIACAO <> OLD.DTCRIACAO"
               " OR NEW.CDOPERADOR <> OLD.CDOPERADOR OR NEW.DSHASHTOKEN <> OLD.DSHASHTOKEN)"
               " EXECUTE FUNCTION LMBSESSAOENCERRADA()";
}

}  // namespace lembrete
