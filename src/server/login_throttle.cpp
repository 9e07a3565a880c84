#include "server/login_throttle.h"

#include <algorithm>

namespace lembrete {
namespace {

// Operator codes and addresses live side by side; the prefixes keep them apart.
std::string operatorKey(const std::string& code) {
    return "o:" + code;
}

std::string addressKey(const std::string& address) {
    return "a:" + address;
}

// Past this many keys, those idle for kForgetAfter are dropped before another is added.
constexpr std::size_t kPruneAbove = 4096;

}  // namespace

std::chrono::milliseconds LoginThrottle::remaining(const std::string& key, Clock::time_point now) {
    const auto found = failures_.find(key);
    if (found == failures_.end() || found->second.blockedUntil <= now) {
        return std::chrono::milliseconds(0);
    }
    return std::chrono::ceil<std::chrono::milliseconds>(found->second.blockedUntil - now);
}

std::chrono::milliseconds LoginThrottle::waitFor(const std::string& operatorCode,
                                                 const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto now = now_();
    const auto byOperator = remaining(operatorKey(operatorCode), now);
    return address.empty() ? byOperator : std::max(byOperator, remaining(addressKey(address), now));
}

std::chrono::milliseconds LoginThrottle::fail(const std::string& key, Clock::time_point now) {
    auto& entry = failures_[key];
    if (now - entry.last > kForgetAfter) {
        entry.count = 0;
    }
    ++entry.count;
    entry.last = now;
    if (entry.count <= kFreeFailures) {
        return std::chrono::milliseconds(0);
    }
    const int doublings = std::min(entry.count - kFreeFailures - 1, 16);
    const auto delay =
        std::min<std::chrono::milliseconds>(kFirstDelay * (1LL << doublings), kMaxDelay);
    entry.blockedUntil = now + delay;
    return delay;
}

std::chrono::milliseconds LoginThrottle::recordFailure(const std::string& operatorCode,
                                                       const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto now = now_();
    if (failures_.size() > kPruneAbove) {
        forgetStale(now);
    }
    const auto byOperator = fail(operatorKey(operatorCode), now);
    return address.empty() ? byOperator : std::max(byOperator, fail(addressKey(address), now));
}

void LoginThrottle::recordSuccess(const std::string& operatorCode, const std::string& address) {
    std::lock_guard lock(mutex_);
    failures_.erase(operatorKey(operatorCode));
    failures_.erase(addressKey(address));
}

void LoginThrottle::forgetStale(Clock::time_point now) {
    std::erase_if(failures_, [&](const auto& entry) {
        return now - entry.second.last > kForgetAfter && entry.second.blockedUntil <= now;
    });
}

}  // namespace lembrete
