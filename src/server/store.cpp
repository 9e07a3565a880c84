#include "server/store.h"

#include "server/schema.h"

namespace lembrete {

Store::Store(DatabaseLocation location, int poolSize)
    : location_(std::move(location)), poolSize_(poolSize) {
    auto first = std::make_unique<StoreConnection>(location_);
    migrateSchema(*first);
    idle_.push_back(std::move(first));
    open_ = 1;
}

Store::Lease::~Lease() {
    if (!store_) {
        return;
    }
    if (connection_) {
        store_->giveBack(std::move(connection_));
    } else {
        std::lock_guard lock(store_->mutex_);
        --store_->open_;
        store_->available_.notify_one();
    }
}

Store::Lease Store::lease() {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [&] { return !idle_.empty() || open_ < poolSize_; });
    if (!idle_.empty()) {
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return Lease(*this, std::move(connection));
    }
    ++open_;
    lock.unlock();
    try {
        return Lease(*this, std::make_unique<StoreConnection>(location_));
    } catch (...) {
        lock.lock();
        --open_;
        available_.notify_one();
        throw;
    }
}

void Store::giveBack(std::unique_ptr<StoreConnection> connection) {
    connection->resetStatements();
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
    available_.notify_one();
}

}  // namespace lembrete
