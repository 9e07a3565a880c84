// Event: one handler slot of a component (OnClick, OnChange, AfterPost ...), and the event
// boundary that ends an abandoned operation.
//
// A component fires its events when its state changes, whether the user or code changed it.
// Handlers often change other components, so events nest; only the outermost dispatch on a
// thread is the boundary where an Abandon is caught, so that an abandon raised deep inside
// ends the whole user action and no statement after it runs. Single-threaded, like the
// user interface it models.
#pragma once

#include <functional>
#include <utility>

#include "toolkit/abandon.h"

namespace lembrete {

class EventBoundary {
  public:
    // Runs `action`; at the outermost level an Abandon thrown by it is caught and ends it.
    // Returns false when the action was abandoned there.
    template <class Action>
    static bool run(Action&& action) {
        if (depth_ > 0) {
            Nesting nesting;
            std::forward<Action>(action)();
            return true;
        }
        Nesting nesting;
        try {
            std::forward<Action>(action)();
            return true;
        } catch (const Abandon&) {
            return false;
        }
    }
    static bool insideEvent() { return depth_ > 0; }

    // A modal loop (a dialog shown modally) dispatches user actions of its own while the
    // action that opened it is still running: for its lifetime the outermost event of each
    // of those actions is a boundary again, so an abandon inside the dialog ends only that
    // action and the dialog stays open.
    class ModalLoop {
      public:
        ModalLoop() : saved_(std::exchange(depth_, 0)) {}
        ~ModalLoop() { depth_ = saved_; }
        ModalLoop(const ModalLoop&) = delete;
        ModalLoop& operator=(const ModalLoop&) = delete;

      private:
        int saved_;
    };

  private:
    struct Nesting {
        Nesting() { ++depth_; }
        ~Nesting() { --depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
    };
    static inline thread_local int depth_ = 0;
};

template <class... Args>
class Event {
  public:
    using Handler = std::function<void(Args...)>;

    Event& operator=(Handler handler) {
        handler_ = std::move(handler);
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }

    // Calls the handler, if any, inside the event boundary.
    void fire(Args... args) const {
        if (handler_) {
            EventBoundary::run([&] { handler_(args...); });
        }
    }

  private:
    Handler handler_;
};

}  // namespace lembrete
