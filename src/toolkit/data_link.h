// DataLink: how a data-aware component follows a DataSource.
//
// The link subscribes to the source and hands every notice to its component's handler;
// changing the source (or destroying the link with its component) drops the subscription, so
// no notice ever reaches a destroyed component. The link does not own the source: the source
// must outlive the component, which TForm::Make guarantees for sources a form makes itself.
#pragma once

#include <functional>

#include "data/data_source.h"

namespace lembrete {

class DataLink {
  public:
    using Handler = std::function<void(DataChange)>;

    explicit DataLink(Handler handler) : handler_(std::move(handler)) {}
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    lembrete::DataSource* Source() const { return source_; }
    // Attaches to `source` (nullptr detaches) and reports DataSetChanged to the handler.
    void SetSource(lembrete::DataSource* source);
    ClientDataSet* DataSet() const { return source_ != nullptr ? source_->DataSet() : nullptr; }
    // True when a source with an open dataset is attached.
    bool Active() const { return DataSet() != nullptr && DataSet()->Active(); }

  private:
    Handler handler_;
    lembrete::DataSource* source_ = nullptr;
    lembrete::DataSource::Subscription subscription_;
};

}  // namespace lembrete
