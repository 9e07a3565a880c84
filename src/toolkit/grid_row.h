// GridRow: one row of a grid's dataset as painting sees it. A paint handler reads the painted
// row through it, never through the dataset's cursor, so painting never moves the cursor.
// Valid only during the paint call it is given to.
#pragma once

#include <string>
#include <string_view>

#include "data/client_data_set.h"

namespace lembrete {

class GridRow {
  public:
    GridRow(const ClientDataSet& dataSet, int index) : dataSet_(dataSet), index_(index) {}
    int Index() const { return index_; }
    // Throws std::out_of_range for an unknown field.
    const Variant& Value(std::string_view fieldName) const;
    // The value as the field's layout shows it on screens.
    std::string Text(std::string_view fieldName) const;

  private:
    int fieldIndex(std::string_view fieldName) const;

    const ClientDataSet& dataSet_;
    int index_;
};

}  // namespace lembrete
