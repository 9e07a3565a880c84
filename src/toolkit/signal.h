// Signal: a list of observers, each registered through an RAII Subscription.
//
// Unlike an Event (one handler slot of a form), a signal has any number of observers and is
// meant for views that mirror state (the Qt binder, the data links). Observers may subscribe
// or unsubscribe while the signal is being emitted: an observer removed during an emission is
// not called afterwards, one added during it is called from the next emission on.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/subscription.h"

namespace lembrete {

template <class... Args>
class Signal {
  public:
    using Observer = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    [[nodiscard]] Subscription connect(Observer observer) {
        const int id = ++lastId_;
        slots_->push_back({id, std::move(observer)});
        std::weak_ptr<std::vector<Slot>> weak = slots_;
        return Subscription([weak, id] {
            if (auto slots = weak.lock()) {
                std::erase_if(*slots, [id](const Slot& slot) { return slot.id == id; });
            }
        });
    }

    void emit(Args... args) const {
        std::vector<int> ids;
        ids.reserve(slots_->size());
        for (const Slot& slot : *slots_) {
            ids.push_back(slot.id);
        }
        // Keep the list alive even if the owner of the signal is destroyed by an observer.
        const std::shared_ptr<std::vector<Slot>> slots = slots_;
        for (int id : ids) {
            auto found = std::find_if(slots->begin(), slots->end(),
                                      [id](const Slot& slot) { return slot.id == id; });
            if (found != slots->end()) {
                Observer observer = found->observer;
                observer(args...);
            }
        }
    }

    std::size_t size() const { return slots_->size(); }

  private:
    struct Slot {
        int id;
        Observer observer;
    };
    std::shared_ptr<std::vector<Slot>> slots_ = std::make_shared<std::vector<Slot>>();
    int lastId_ = 0;
};

}  // namespace lembrete
