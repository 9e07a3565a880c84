#include "data/data_source.h"

#include <vector>

namespace lembrete {

struct DataSource::Subscription::Observers {
    std::map<std::uint64_t, Observer> items;
    std::uint64_t next = 1;
};

DataSource::Subscription& DataSource::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        observers_ = std::move(other.observers_);
        id_ = other.id_;
    }
    return *this;
}

DataSource::Subscription::~Subscription() {
    reset();
}

void DataSource::Subscription::reset() {
    if (auto observers = observers_.lock()) {
        observers->items.erase(id_);
    }
    observers_.reset();
}

DataSource::DataSource(std::string name, ClientDataSet* dataSet)
    : name_(std::move(name)), observers_(std::make_shared<Subscription::Observers>()) {
    SetDataSet(dataSet);
}

DataSource::~DataSource() {
    if (dataSet_ != nullptr) {
        dataSet_->detach(this);
    }
}

void DataSource::SetDataSet(ClientDataSet* dataSet) {
    if (dataSet == dataSet_) {
        return;
    }
    if (dataSet_ != nullptr) {
        dataSet_->detach(this);
    }
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) {
        dataSet_->attach(this);
    }
    notify(DataChange::DataSetChanged);
}

DataSource::Subscription DataSource::Subscribe(Observer observer) {
    const auto id = observers_->next++;
    observers_->items.emplace(id, std::move(observer));
    return Subscription(observers_, id);
}

void DataSource::notify(DataChange change) {
    // Observers may subscribe or unsubscribe while being told: walk a snapshot of the ids and
    // call a copy, so that an observer dropping its own subscription stays alive for the call.
    std::vector<std::uint64_t> ids;
    ids.reserve(observers_->items.size());
    for (const auto& [id, observer] : observers_->items) {
        ids.push_back(id);
    }
    const auto keepAlive = observers_;
    for (auto id : ids) {
        auto it = keepAlive->items.find(id);
        if (it != keepAlive->items.end()) {
            auto observer = it->second;
            observer(change);
        }
    }
}

}  // namespace lembrete
