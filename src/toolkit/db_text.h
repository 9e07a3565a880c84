// TDBText: a label showing one field of a data source's current row (the frame's dbtNome).
#pragma once

#include "toolkit/field_link.h"
#include "toolkit/label.h"

namespace lembrete {

class TDBText : public TLabel {
  public:
    TDBText(TForm* owner, std::string name)
        : TLabel(owner, std::move(name)), link_([this] { SetCaption(link_.Value().toText()); }) {}

    lembrete::DataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(lembrete::DataSource* source) { link_.SetSource(source); }
    const std::string& DataField() const { return link_.FieldName(); }
    void SetDataField(std::string field) { link_.SetFieldName(std::move(field)); }

  private:
    FieldLink link_;
};

}  // namespace lembrete
