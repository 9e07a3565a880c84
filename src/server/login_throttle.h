// LoginThrottle: failed logins slow down, per operator code and per client address.
//
// From the kFreeFailures-th failure in a row on a key, the next attempt on that key is refused
// unchecked until a delay has passed: kFirstDelay, doubled with every further failure, at most
// kMaxDelay. A success clears both keys; a key with no failure for kForgetAfter is forgotten.
// Refused attempts count as nothing, so waiting out the delay always lets a right password in.
// An empty address (a transport that does not tell it) counts the operator only. Thread-safe.
// The clock is a parameter so that tests can move time by hand.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace lembrete {

class LoginThrottle {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kFreeFailures = 4;
    static constexpr std::chrono::milliseconds kFirstDelay{1000};
    static constexpr std::chrono::milliseconds kMaxDelay{60000};
    static constexpr std::chrono::minutes kForgetAfter{15};

    explicit LoginThrottle(std::function<Clock::time_point()> now = Clock::now)
        : now_(std::move(now)) {}

    // How long the caller must still wait before trying `operatorCode` from `address`; zero
    // when the attempt may go ahead.
    std::chrono::milliseconds waitFor(const std::string& operatorCode, const std::string& address);
    // Records a failure on both keys; returns the delay it sets (zero while failures are free).
    std::chrono::milliseconds recordFailure(const std::string& operatorCode,
                                            const std::string& address);
    void recordSuccess(const std::string& operatorCode, const std::string& address);

  private:
    struct Failures {
        int count = 0;
        Clock::time_point last;
        Clock::time_point blockedUntil;
    };

    std::chrono::milliseconds remaining(const std::string& key, Clock::time_point now);
    std::chrono::milliseconds fail(const std::string& key, Clock::time_point now);
    void forgetStale(Clock::time_point now);

    std::function<Clock::time_point()> now_;
    std::mutex mutex_;
    std::unordered_map<std::string, Failures> failures_;
};

}  // namespace lembrete
