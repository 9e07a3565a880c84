// StoreConnection: one open database session and the prepared statements made on it.
//
// The store hands a connection to one request at a time (Store::Lease); statements are
// prepared on first use and kept, keyed by their SQL text. The SQL is the same for SQLite and
// PostgreSQL; only opening a write transaction differs (SQLite takes its write lock up front
// so that two writers never deadlock upgrading a read lock).
#pragma once

#include <soci/soci.h>

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "server/database_location.h"
#include "server/sql_statement.h"

namespace lembrete {

class StoreConnection {
  public:
    explicit StoreConnection(const DatabaseLocation& location);

    soci::session& session() { return session_; }
    Backend backend() const { return backend_; }

    // At most this many statements are kept; the one used longest ago goes first. SQL built
    // from a delta's fields and null values varies without end.
    static constexpr std::size_t kMaxStatements = 64;

    // The statement for `sql`, prepared on first use (kinds as in SqlStatement). The reference
    // lasts until kMaxStatements other statements have been asked for.
    SqlStatement& statement(const std::string& sql, std::string_view parameterKinds,
                            std::string_view columnKinds = {});

    // Ends every read left part way (see SqlStatement::reset); done before a write transaction
    // and its end, and when the connection goes back to the pool.
    void resetStatements();

    void beginWrite();
    void commit();
    void rollback();

  private:
    friend class PlansForTheValues;
    // On PostgreSQL, whether statements are planned for their values or once without them.
    void planForTheValues(bool forTheValues);

    soci::session session_;
    Backend backend_;
    struct Kept {
        std::unique_ptr<SqlStatement> statement;
        std::list<std::string>::iterator use;  // its place in uses_
    };
    std::unordered_map<std::string, Kept> statements_;
    std::list<std::string> uses_;  // most recently used first
};

// Commits on commit(); rolls back when left without it (an exception, a refused change).
class WriteTransaction {
  public:
    explicit WriteTransaction(StoreConnection& connection) : connection_(connection) {
        connection_.beginWrite();
    }
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit();

  private:
    StoreConnection& connection_;
    bool open_ = true;
};

// While it lives, PostgreSQL plans each statement for the values bound to it, for the few
// statements whose good plan depends on them: a search (a rare text is found through the
// trigram indexes, a common one by reading the date index newest first) and a long list of
// numbers (looked up in a hash only when the plan knows them). Does nothing on SQLite.
class PlansForTheValues {
  public:
    explicit PlansForTheValues(StoreConnection& connection);
    ~PlansForTheValues();
    PlansForTheValues(const PlansForTheValues&) = delete;
    PlansForTheValues& operator=(const PlansForTheValues&) = delete;

  private:
    StoreConnection& connection_;
};

}  // namespace lembrete
