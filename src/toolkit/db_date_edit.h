// TDBDateEdit: a date box showing one date-time field of a data source's current row (the
// editor's depData on DTATIVPESS). Changes of its date go into the field (see FieldLink); an
// empty box writes null.
#pragma once

#include "toolkit/date_edit.h"
#include "toolkit/field_link.h"

namespace lembrete {

class TDBDateEdit : public TDateEdit {
  public:
    TDBDateEdit(TForm* owner, std::string name);

    lembrete::DataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(lembrete::DataSource* source) { link_.SetSource(source); }
    const std::string& DataField() const { return link_.FieldName(); }
    void SetDataField(std::string field) { link_.SetFieldName(std::move(field)); }

  protected:
    void dateChanged() override;

  private:
    void load();

    FieldLink link_;
};

}  // namespace lembrete
