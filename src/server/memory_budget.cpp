#include "server/memory_budget.h"

#include <vector>

namespace lembrete {

void MemoryBudget::acquire(std::size_t bytes, std::function<void()> granted) {
    {
        std::lock_guard lock(mutex_);
        if (!waiting_.empty() || used_ + bytes > capacity_) {
            waiting_.emplace_back(bytes, std::move(granted));
            return;
        }
        used_ += bytes;
    }
    granted();
}

void MemoryBudget::force(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    used_ += bytes;
}

void MemoryBudget::release(std::size_t bytes) {
    std::vector<std::function<void()>> granted;
    {
        std::lock_guard lock(mutex_);
        used_ -= bytes;
        while (!waiting_.empty() && used_ + waiting_.front().first <= capacity_) {
            used_ += waiting_.front().first;
            granted.push_back(std::move(waiting_.front().second));
            waiting_.pop_front();
        }
    }
    for (auto& callback : granted) {
        callback();
    }
}

}  // namespace lembrete
