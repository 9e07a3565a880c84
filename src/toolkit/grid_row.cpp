#include "toolkit/grid_row.h"

#include <stdexcept>

namespace lembrete {

int GridRow::fieldIndex(std::string_view fieldName) const {
    const int field = dataSet_.FieldIndex(fieldName);
    if (field < 0) {
        throw std::out_of_range("campo não existe em " + dataSet_.Name() + ": " +
                                std::string(fieldName));
    }
    return field;
}

const Variant& GridRow::Value(std::string_view fieldName) const {
    return dataSet_.RowAt(index_).at(static_cast<std::size_t>(fieldIndex(fieldName)));
}

std::string GridRow::Text(std::string_view fieldName) const {
    const int field = fieldIndex(fieldName);
    return dataSet_.FieldLayouts()[static_cast<std::size_t>(field)].displayText(
        dataSet_.RowAt(index_).at(static_cast<std::size_t>(field)));
}

}  // namespace lembrete
