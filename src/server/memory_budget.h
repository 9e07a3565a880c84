// MemoryBudget: the bytes that requests may hold at once, shared by every connection.
//
// A request takes bytes before it uses them and gives them back when done. When the budget
// is spent, acquire() keeps the callback and runs it, in the order of the calls, as soon as
// enough is given back (on the thread that gave it back); a connection waiting so reads
// nothing more meanwhile. A request never asks more than the capacity (callers clamp with
// fit()). force() takes bytes already in use (a reply whose size is known only once built):
// the budget may go over its capacity by that, and later requests wait until it is back.
// Thread-safe.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace lembrete {

class MemoryBudget {
  public:
    explicit MemoryBudget(std::size_t capacity) : capacity_(capacity) {}

    std::size_t fit(std::size_t bytes) const { return bytes < capacity_ ? bytes : capacity_; }
    void acquire(std::size_t bytes, std::function<void()> granted);
    void force(std::size_t bytes);
    void release(std::size_t bytes);

  private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::size_t used_ = 0;
    std::deque<std::pair<std::size_t, std::function<void()>>> waiting_;
};

}  // namespace lembrete
