#include "toolkit/data_link.h"

namespace lembrete {

void DataLink::SetSource(lembrete::DataSource* source) {
    if (source == source_) {
        return;
    }
    subscription_.reset();
    source_ = source;
    if (source_ != nullptr) {
        subscription_ = source_->Subscribe([this](DataChange change) { handler_(change); });
    }
    handler_(DataChange::DataSetChanged);
}

}  // namespace lembrete
