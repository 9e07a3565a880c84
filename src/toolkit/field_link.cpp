#include "toolkit/field_link.h"

namespace lembrete {

FieldLink::FieldLink(std::function<void()> load)
    : load_(std::move(load)), link_([this](DataChange) { reload(); }) {}

void FieldLink::SetFieldName(std::string fieldName) {
    fieldName_ = std::move(fieldName);
    reload();
}

bool FieldLink::usable() const {
    return link_.Active() && link_.DataSet()->FieldIndex(fieldName_) >= 0;
}

Variant FieldLink::Value() const {
    return usable() ? link_.DataSet()->FieldByName(fieldName_).AsVariant() : Variant();
}

void FieldLink::Write(const Variant& value) {
    if (loading_ || !usable()) {
        return;
    }
    ClientDataSet& dataSet = *link_.DataSet();
    if (dataSet.State() == DataSetState::Browse) {
        dataSet.Edit();
    }
    dataSet.FieldByName(fieldName_).SetValue(value);
}

void FieldLink::reload() {
    loading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};
    load_();
}

}  // namespace lembrete
