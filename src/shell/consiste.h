// The host's pure input helpers, implemented here for real.
#pragma once

#include <string_view>

namespace lembrete {

class ClientDataSet;
class TDBGrid;

// True when `text` is empty or holds only blanks (spaces and control characters).
bool EmptyString(std::string_view text);

// Every string field of the current row that holds an empty string becomes null. The dataset
// must be in edit or insert state (std::logic_error otherwise).
void Seta_Campo_Null(ClientDataSet& dataSet);

// The zero-based index of the grid column bound to `fieldName` (letter case ignored), or -1
// when no column shows that field.
int IndiceCol(const TDBGrid& grid, std::string_view fieldName);

}  // namespace lembrete
