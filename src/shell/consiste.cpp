#include "shell/consiste.h"

#include <algorithm>
#include <stdexcept>

#include "data/client_data_set.h"
#include "toolkit/db_grid.h"

namespace lembrete {

bool EmptyString(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

void Seta_Campo_Null(ClientDataSet& dataSet) {
    const DataSetState state = dataSet.State();
    if (state != DataSetState::Edit && state != DataSetState::Insert) {
        throw std::logic_error("Seta_Campo_Null: " + dataSet.Name() +
                               " não está em edição nem em inclusão");
    }
    for (int index = 0; index < dataSet.FieldCount(); ++index) {
        Field field = dataSet.Fields(index);
        const Variant& value = field.AsVariant();
        if (field.DataType() == FieldType::String && value.kind() == VariantKind::String &&
            value.asString().empty()) {
            field.Clear();
        }
    }
}

int IndiceCol(const TDBGrid& grid, std::string_view fieldName) {
    return grid.ColumnIndex(fieldName);
}

}  // namespace lembrete
