#include "toolkit/grid_row.h"

#include <stdexcept>

namespace lembrete {

const Variant& GridRow::Value(std::string_view fieldName) const {
    const int field = dataSet_.FieldIndex(fieldName);
    if (field < 0) {
        throw std::out_of_range("campo não existe em " + dataSet_.Name() + ": " +
                                std::string(fieldName));
    }
    return dataSet_.RowAt(index_).at(static_cast<std::size_t>(field));
}

}  // namespace lembrete
