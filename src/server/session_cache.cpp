#include "server/session_cache.h"

#include <utility>

namespace lembrete {

std::optional<StoredSession> SessionCache::find(const std::string& tokenHash) const {
    if (!serving_) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(tokenHash);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::uint64_t SessionCache::generation() const {
    return generation_;
}

void SessionCache::remember(const std::string& tokenHash, StoredSession session,
                            std::uint64_t generation) {
    if (!serving_) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (!serving_ || generation != generation_) {
        return;
    }
    if (sessions_.size() >= kMaxSessions) {
        sessions_.clear();
    }
    sessions_.insert_or_assign(tokenHash, std::move(session));
}

void SessionCache::noteUse(const std::string& tokenHash, long long lastUse) {
    if (!serving_) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (const auto found = sessions_.find(tokenHash); found != sessions_.end()) {
        found->second.lastUse = lastUse;
    }
}

void SessionCache::forget(const std::string& tokenHash) {
    std::lock_guard lock(mutex_);
    sessions_.erase(tokenHash);
    ++generation_;
}

void SessionCache::clear() {
    std::lock_guard lock(mutex_);
    dropAll();
}

void SessionCache::setServing(bool serving) {
    std::lock_guard lock(mutex_);
    serving_ = serving;
    dropAll();
}

bool SessionCache::serving() const {
    return serving_;
}

void SessionCache::dropAll() {
    sessions_.clear();
    ++generation_;
}

}  // namespace lembrete
