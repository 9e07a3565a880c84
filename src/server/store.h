// Store: the server's database — a pool of connections to it, and its schema.
//
// Opening a store creates or migrates the schema (schema.h). Each request leases one
// connection for its duration; connections are opened on demand up to the pool size and kept
// for reuse, so the server holds connections and prepared statements, never a copy of the
// data. Thread-safe: any number of threads may lease at once (they wait when all are taken).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "server/database_location.h"
#include "server/store_connection.h"

namespace lembrete {

class Store {
  public:
    Store(DatabaseLocation location, int poolSize);

    class Lease {
      public:
        Lease(Store& store, std::unique_ptr<StoreConnection> connection)
            : store_(&store), connection_(std::move(connection)) {}
        Lease(Lease&& other) noexcept
            : store_(std::exchange(other.store_, nullptr)),
              connection_(std::move(other.connection_)) {}
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        StoreConnection& operator*() const { return *connection_; }
        StoreConnection* operator->() const { return connection_.get(); }
        // The connection failed: close it instead of handing it to the next request.
        void discard() { connection_.reset(); }

      private:
        Store* store_;
        std::unique_ptr<StoreConnection> connection_;
    };

    Lease lease();
    const DatabaseLocation& location() const { return location_; }

  private:
    void giveBack(std::unique_ptr<StoreConnection> connection);

    DatabaseLocation location_;
    int poolSize_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<StoreConnection>> idle_;
    int open_ = 0;
};

}  // namespace lembrete
