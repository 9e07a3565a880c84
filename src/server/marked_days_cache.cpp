#include "server/marked_days_cache.h"

#include "server/number_sequences.h"
#include "server/reminder_queries.h"

namespace lembrete {

std::string MarkedDaysCache::reply(StoreConnection& connection, const std::string& operatorCode) {
    // The count is read first: a write committed while the reply is built raises it, so a
    // reply that may miss that write is never kept under the new count.
    const long long changeCount =
        NumberSequences::lastIssued(connection, operatorCode, SequenceKind::ReminderChange);
    if (const auto cached = find(operatorCode, changeCount)) {
        return *cached;
    }
    auto built = std::make_shared<const std::string>(
        ReminderQueries::markedDaysText(connection, operatorCode));
    store(operatorCode, changeCount, built);
    return *built;
}

std::shared_ptr<const std::string> MarkedDaysCache::find(const std::string& operatorCode,
                                                         long long changeCount) {
    const std::lock_guard lock(mutex_);
    const auto found = byOperator_.find(operatorCode);
    if (found == byOperator_.end() || found->second->changeCount != changeCount) {
        return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->reply;
}

void MarkedDaysCache::store(const std::string& operatorCode, long long changeCount,
                            std::shared_ptr<const std::string> reply) {
    const std::lock_guard lock(mutex_);
    if (const auto found = byOperator_.find(operatorCode); found != byOperator_.end()) {
        bytes_ -= found->second->reply->size();
        entries_.erase(found->second);
        byOperator_.erase(found);
    }
    if (reply->size() > budgetBytes_) {
        return;
    }
    bytes_ += reply->size();
    entries_.push_front({operatorCode, changeCount, std::move(reply)});
    byOperator_.emplace(operatorCode, entries_.begin());
    while (bytes_ > budgetBytes_) {
        dropLeastRecent();
    }
}

void MarkedDaysCache::dropLeastRecent() {
    const Entry& last = entries_.back();
    bytes_ -= last.reply->size();
    byOperator_.erase(last.operatorCode);
    entries_.pop_back();
}

}  // namespace lembrete
