// Field: a handle on one field of a client dataset, the way forms read and write a column of
// the current row (`cds.FieldByName("NRATIVPESS").AsString()`).
//
// A Field does not own anything: it names a dataset and a column and is valid while that
// dataset lives and keeps its fields. Reads give the edit buffer while the dataset is in edit
// or insert state and the current row otherwise (null on an empty or closed dataset). Writes
// need edit or insert state; a value is converted to the field's type, and a text longer
// than the field's width is refused with a FieldWidthError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/field_layout.h"
#include "data/variant.h"

namespace lembrete {

class ClientDataSet;

class Field {
  public:
    Field(ClientDataSet& dataSet, int index) : dataSet_(&dataSet), index_(index) {}

    int Index() const { return index_; }
    const FieldLayout& Layout() const;
    const FieldDef& Def() const { return Layout().def; }
    const std::string& FieldName() const { return Def().name; }
    const std::string& DisplayLabel() const { return Layout().displayLabel(); }
    FieldType DataType() const { return Def().type; }
    int Size() const { return Def().size; }

    const Variant& AsVariant() const;
    bool IsNull() const { return AsVariant().isNull(); }
    // Null reads as "", 0, false or day 0 (30/12/1899) respectively.
    std::string AsString() const;
    double AsFloat() const;
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    DateTime AsDateTime() const;

    // Each throws std::logic_error outside edit/insert state, FieldWidthError for a text
    // wider than the field and std::invalid_argument for a value the type cannot hold.
    void SetValue(Variant value);
    void SetAsString(std::string_view text) { SetValue(Variant(text)); }
    void SetAsFloat(double number) { SetValue(Variant(number)); }
    void SetAsInteger(std::int64_t number) { SetValue(Variant(number)); }
    void SetAsBoolean(bool flag) { SetValue(Variant(flag)); }
    void SetAsDateTime(const DateTime& when) { SetValue(Variant(when)); }
    void Clear() { SetValue(Variant()); }

  private:
    ClientDataSet* dataSet_;
    int index_;
};

}  // namespace lembrete
