#include "toolkit/property.h"

#include <array>

namespace lembrete {

std::string_view propertyName(Property property) {
    static constexpr std::array<std::string_view, 30> kNames = {
        "Visible",  "Enabled",   "Color",   "Hint",        "Caption",       "Text",
        "ReadOnly", "MaxLength", "Checked", "Items",       "ItemIndex",     "Value",
        "Range",    "Date",      "Time",    "ActivePage",  "ShortCut",      "Marks",
        "Columns",  "Rows",      "Cursor",  "ModalResult", "ActiveControl", "WindowState",
        "Messages", "Data",      "Font",    "FormStyle",   "Selection",     "Order"};
    return kNames.at(static_cast<std::size_t>(property));
}

}  // namespace lembrete
