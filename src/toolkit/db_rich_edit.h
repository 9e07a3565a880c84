// TDBRichEdit: a rich edit showing one field of a data source's current row (the agenda's
// read-only description dbrDesc, the editor's drtDesc and dbrTxAtivPess). Changes of its text
// go into the field (see FieldLink).
#pragma once

#include "toolkit/field_link.h"
#include "toolkit/rich_edit.h"

namespace lembrete {

class TDBRichEdit : public TRichEdit {
  public:
    TDBRichEdit(TForm* owner, std::string name);

    lembrete::DataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(lembrete::DataSource* source) { link_.SetSource(source); }
    const std::string& DataField() const { return link_.FieldName(); }
    void SetDataField(std::string field) { link_.SetFieldName(std::move(field)); }

  protected:
    void textChanged() override;

  private:
    FieldLink link_;
};

}  // namespace lembrete
