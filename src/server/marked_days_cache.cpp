#include "server/marked_days_cache.h"

#include "server/number_sequences.h"
#include "server/reminder_queries.h"

namespace lembrete {

std::string MarkedDaysCache::reply(StoreConnection& connection, const std::string& operatorCode,
                                   std::optional<DayRange> days) {
    // The count is read first: a write committed while the reply is built raises it, so a
    // reply that may miss that write is never kept under the new count.
    const long long changeCount =
        NumberSequences::lastIssued(connection, operatorCode, SequenceKind::ReminderChange);
    // The range comes first, in ISO dates of fixed width, so no key can be read two ways.
    const std::string key =
        days ? days->first.iso() + days->last.iso() + operatorCode : '*' + operatorCode;
    if (const auto cached = find(key, changeCount)) {
        return *cached;
    }
    auto built = std::make_shared<const std::string>(
        ReminderQueries::markedDaysText(connection, operatorCode, days));
    store(key, changeCount, built);
    return *built;
}

std::shared_ptr<const std::string> MarkedDaysCache::find(const std::string& key,
                                                         long long changeCount) {
    const std::lock_guard lock(mutex_);
    const auto found = byKey_.find(key);
    if (found == byKey_.end() || found->second->changeCount != changeCount) {
        return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->reply;
}

void MarkedDaysCache::store(const std::string& key, long long changeCount,
                            std::shared_ptr<const std::string> reply) {
    const std::lock_guard lock(mutex_);
    if (const auto found = byKey_.find(key); found != byKey_.end()) {
        bytes_ -= found->second->reply->size();
        entries_.erase(found->second);
        byKey_.erase(found);
    }
    if (reply->size() > budgetBytes_) {
        return;
    }
    bytes_ += reply->size();
    entries_.push_front({key, changeCount, std::move(reply)});
    byKey_.emplace(key, entries_.begin());
    while (bytes_ > budgetBytes_) {
        dropLeastRecent();
    }
}

void MarkedDaysCache::dropLeastRecent() {
    const Entry& last = entries_.back();
    bytes_ -= last.reply->size();
    byKey_.erase(last.key);
    entries_.pop_back();
}

}  // namespace lembrete
