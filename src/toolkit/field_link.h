// FieldLink: how a data-aware box shows and edits one field of the current row.
//
// The owner gives a `load` callback that copies the field into the box; the link runs it
// whenever the row under the cursor, its values or the dataset's state may have changed, and
// marks the copy as loading so that the box does not write the value straight back. When the
// box changes otherwise (the user, or code), the owner calls Write: the value goes into the
// field, putting a browsing dataset into edit state first, as data-aware controls do.
#pragma once

#include <functional>
#include <string>

#include "data/variant.h"
#include "toolkit/data_link.h"

namespace lembrete {

class FieldLink {
  public:
    explicit FieldLink(std::function<void()> load);

    lembrete::DataSource* Source() const { return link_.Source(); }
    void SetSource(lembrete::DataSource* source) { link_.SetSource(source); }
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(std::string fieldName);

    // The field's value in the current row; null without an open dataset holding the field.
    Variant Value() const;
    // Writes into the field (nothing while loading or without an open dataset); throws what
    // the field throws for a value it cannot hold.
    void Write(const Variant& value);
    bool Loading() const { return loading_; }

  private:
    bool usable() const;
    void reload();

    std::function<void()> load_;
    std::string fieldName_;
    bool loading_ = false;
    DataLink link_;
};

}  // namespace lembrete
