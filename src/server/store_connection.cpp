#include "server/store_connection.h"

#include <chrono>
#include <thread>

namespace lembrete {
namespace {

// The database's own reason, without the library's English lead-in.
std::string reasonOf(const soci::soci_error& error) {
    std::string reason = error.get_error_message();
    constexpr std::string_view leadIn = "Cannot establish connection to the database.";
    if (reason.starts_with(leadIn)) {
        reason.erase(0, leadIn.size());
    }
    const auto first = reason.find_first_not_of(" \n");
    return first == std::string::npos ? std::string() : reason.substr(first);
}

constexpr std::chrono::milliseconds kBusyTimeout{10000};

// Two processes opening a new file at once may both switch it to WAL, and SQLite refuses one
// of them at once instead of waiting for the lock: try again for as long as any lock wait.
void enableWal(soci::session& session) {
    const auto deadline = std::chrono::steady_clock::now() + kBusyTimeout;
    for (;;) {
        try {
            session << "PRAGMA journal_mode=WAL";
            return;
        } catch (const soci::soci_error&) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
}

soci::session open(const DatabaseLocation& location) {
    try {
        return soci::session(location.backendName(), location.connectString());
    } catch (const soci::soci_error& error) {
        // Still a soci_error: a request that cannot reach the database is a store failure.
        throw soci::soci_error(
            std::string("Não foi possível conectar ao banco de dados ") +
            (location.backend == Backend::Sqlite ? "SQLite " + location.target : "PostgreSQL") +
            ". Motivo informado pelo banco: " + reasonOf(error));
    }
}

}  // namespace

StoreConnection::StoreConnection(const DatabaseLocation& location)
    : session_(open(location)), backend_(location.backend) {
    if (backend_ == Backend::Sqlite) {
        session_ << "PRAGMA busy_timeout=" + std::to_string(kBusyTimeout.count());
        // WAL lets readers run beside the one writer; FULL makes each commit durable.
        enableWal(session_);
        session_ << "PRAGMA synchronous=FULL";
        // Pages are cached by the kernel anyway; keep each connection's own cache small.
        session_ << "PRAGMA cache_size=-1024";
    } else {
        // "already exists, skipping" and the like are no news to anyone.
        session_ << "SET client_min_messages TO WARNING";
        // Every statement is prepared once per connection and looks rows up by key or by the
        // (operator, date) index, which a plan made without the values serves as well. Left to
        // choose, the server kept planning the agenda query anew on every call (its plans for
        // the given values fold the search-text test away and look cheaper), at a cost above
        // that of running it.
        planForTheValues(false);
    }
}

void StoreConnection::planForTheValues(bool forTheValues) {
    if (backend_ == Backend::Postgresql) {
        session_ << (forTheValues ? "SET plan_cache_mode TO force_custom_plan"
                                  : "SET plan_cache_mode TO force_generic_plan");
    }
}

SqlStatement& StoreConnection::statement(const std::string& sql, std::string_view parameterKinds,
                                         std::string_view columnKinds) {
    if (const auto found = statements_.find(sql); found != statements_.end()) {
        uses_.splice(uses_.begin(), uses_, found->second.use);
        return *found->second.statement;
    }
    auto statement = std::make_unique<SqlStatement>(session_, backend_ == Backend::Sqlite, sql,
                                                    parameterKinds, columnKinds);
    if (statements_.size() >= kMaxStatements) {
        statements_.erase(uses_.back());
        uses_.pop_back();
    }
    uses_.push_front(sql);
    return *statements_.emplace(sql, Kept{std::move(statement), uses_.begin()})
                .first->second.statement;
}

void StoreConnection::resetStatements() {
    for (auto& [sql, kept] : statements_) {
        kept.statement->reset();
    }
}

void StoreConnection::beginWrite() {
    resetStatements();
    session_ << (backend_ == Backend::Sqlite ? "BEGIN IMMEDIATE" : "BEGIN");
}

void StoreConnection::commit() {
    resetStatements();
    session_ << "COMMIT";
}

void StoreConnection::rollback() {
    resetStatements();
    session_ << "ROLLBACK";
}

WriteTransaction::~WriteTransaction() {
    if (open_) {
        try {
            connection_.rollback();
        } catch (const std::exception&) {
            // The connection is gone; the database dropped the transaction with it.
        }
    }
}

PlansForTheValues::PlansForTheValues(StoreConnection& connection) : connection_(connection) {
    connection_.planForTheValues(true);
}

PlansForTheValues::~PlansForTheValues() {
    try {
        connection_.planForTheValues(false);
    } catch (const std::exception&) {
        // The connection is gone, or its failed transaction takes the setting back with it.
    }
}

void WriteTransaction::commit() {
    connection_.commit();
    open_ = false;
}

}  // namespace lembrete
