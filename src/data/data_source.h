// DataSource: the link between one dataset and the views bound to it (`dtsAFazer` ...).
//
// A view subscribes and keeps the returned Subscription for as long as it wants notices;
// dropping it (or destroying the source first) ends them. The source does not own its
// dataset: SetDataSet(nullptr) detaches, and a dataset being destroyed detaches itself from
// every source. Attaching or detaching tells the views DataSetChanged. Notices arrive on the
// user-interface thread, in the order the dataset raises them, and not while its controls
// are disabled.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "data/client_data_set.h"

namespace lembrete {

class DataSource {
  public:
    using Observer = std::function<void(DataChange)>;

    class Subscription {
      public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription();
        void reset();

      private:
        friend class DataSource;
        struct Observers;
        Subscription(std::weak_ptr<Observers> observers, std::uint64_t id)
            : observers_(std::move(observers)), id_(id) {}
        std::weak_ptr<Observers> observers_;
        std::uint64_t id_ = 0;
    };

    explicit DataSource(std::string name = {}, ClientDataSet* dataSet = nullptr);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    const std::string& Name() const { return name_; }
    ClientDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(ClientDataSet* dataSet);

    [[nodiscard]] Subscription Subscribe(Observer observer);

  private:
    friend class ClientDataSet;
    void notify(DataChange change);

    std::string name_;
    ClientDataSet* dataSet_ = nullptr;
    std::shared_ptr<Subscription::Observers> observers_;
};

}  // namespace lembrete
