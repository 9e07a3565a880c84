#include "server/store_connection.h"

namespace lembrete {

StoreConnection::StoreConnection(const DatabaseLocation& location)
    : session_(location.backendName(), location.connectString()), backend_(location.backend) {
    if (backend_ == Backend::Sqlite) {
        // WAL lets readers run beside the one writer; FULL makes each commit durable.
        session_ << "PRAGMA journal_mode=WAL";
        session_ << "PRAGMA synchronous=FULL";
        session_ << "PRAGMA busy_timeout=10000";
        // Pages are cached by the kernel anyway; keep each connection's own cache small.
        session_ << "PRAGMA cache_size=-1024";
    } else {
        // "already exists, skipping" and the like are no news to anyone.
        session_ << "SET client_min_messages TO WARNING";
    }
}

SqlStatement& StoreConnection::statement(const std::string& sql, std::string_view parameterKinds,
                                         std::string_view columnKinds) {
    auto& slot = statements_[sql];
    if (!slot) {
        slot = std::make_unique<SqlStatement>(session_, backend_ == Backend::Sqlite, sql,
                                              parameterKinds, columnKinds);
    }
    return *slot;
}

void StoreConnection::resetStatements() {
    for (auto& [sql, statement] : statements_) {
        statement->reset();
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

void WriteTransaction::commit() {
    connection_.commit();
    open_ = false;
}

}  // namespace lembrete
