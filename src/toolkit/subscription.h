// Subscription: the RAII handle of one observer registered on a Signal.
//
// Destroying (or resetting) the handle unregisters the observer. The handle does not keep the
// signal alive: when the signal goes first, the handle simply has nothing left to cancel, so
// neither side can leave a dangling observer behind.
#pragma once

#include <functional>
#include <utility>

namespace lembrete {

class Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (cancel_) {
            std::exchange(cancel_, {})();
        }
    }
    bool active() const { return static_cast<bool>(cancel_); }

  private:
    std::function<void()> cancel_;
};

}  // namespace lembrete
