// Property: names the piece of a component's state that just changed, so that one generic
// observer (the Qt binder, a test) can follow any component without knowing its handlers.
#pragma once

#include <string_view>

namespace lembrete {

enum class Property {
    Visible,
    Enabled,
    Color,
    Hint,
    Caption,
    Text,
    ReadOnly,
    MaxLength,
    Checked,
    Items,
    ItemIndex,
    Value,
    Range,  // minimum / maximum of a spin edit or a calendar
    Date,
    Time,
    ActivePage,
    ShortCut,
    Marks,    // marked days of a data calendar
    Columns,  // grid columns
    Rows,     // the rows shown by a data-aware view changed
    Cursor,   // current row or selected column of a grid
    ModalResult,
    ActiveControl,
    WindowState,
    Messages,
    Data,  // the bound data source or field changed
    Font,
    FormStyle,
    Selection,  // the selected rows of a grid
    Order,      // the order of a sortable grid's rows
};

std::string_view propertyName(Property property);  // "Visible", "Checked" ...

}  // namespace lembrete
