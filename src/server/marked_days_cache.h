// MarkedDaysCache: the GetDatasAFazer replies last built, one per operator and range of days.
//
// An agenda asks for its operator's marked days on every load, and they change only when that
// operator's reminders do. Each reply is kept with the operator's reminder change count (its
// "D" sequence) as read before the reply was built, and reused while the stored count is the
// same; the count lives in the database, so writes through any server on it are seen. The
// least recently used replies go once their size passes the budget. Thread-safe.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "data/date.h"

namespace lembrete {

class StoreConnection;

class MarkedDaysCache {
  public:
    // A calendar's seven weeks take at most 1.3 KB and a thousand marked days about 24 KB: the
    // default keeps thousands of calendars.
    static constexpr std::size_t kDefaultBudgetBytes = 8u << 20;

    explicit MarkedDaysCache(std::size_t budgetBytes = kDefaultBudgetBytes)
        : budgetBytes_(budgetBytes) {}

    // The JSON text of the operator's marked-days packet (within `days` when given), from the
    // cache when still current.
    std::string reply(StoreConnection& connection, const std::string& operatorCode,
                      std::optional<DayRange> days = std::nullopt);

    // The reply kept under `key` (operator and range) at `changeCount`, or null.
    std::shared_ptr<const std::string> find(const std::string& key, long long changeCount);
    void store(const std::string& key, long long changeCount,
               std::shared_ptr<const std::string> reply);

  private:
    struct Entry {
        std::string key;
        long long changeCount;
        std::shared_ptr<const std::string> reply;
    };

    void dropLeastRecent();

    std::size_t budgetBytes_;
    std::mutex mutex_;
    std::list<Entry> entries_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> byKey_;
    std::size_t bytes_ = 0;
};

}  // namespace lembrete
