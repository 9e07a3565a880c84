// FieldLayout: a field as a screen shows it — the wire definition (name, type, width, origin)
// plus the client-side caption, alignment and visibility that never travel to the server.
//
// A dataset keeps one per field. Loading a packet replaces the definitions but keeps the
// caption, alignment and visibility of every field whose name it already knew.
#pragma once

#include <string>
#include <vector>

#include "data/data_packet.h"

namespace lembrete {

enum class Alignment { Left, Right, Center };

// How a field's value reads on a screen: as its text, or (a date-time) as the date alone, for
// a column whose time is shown by another one.
enum class DisplayFormat { Value, DateOnly };

struct FieldLayout {
    FieldDef def;
    std::string label;  // caption on screens and in messages; empty: the field's name
    Alignment alignment = Alignment::Left;
    bool visible = true;
    DisplayFormat display = DisplayFormat::Value;

    const std::string& displayLabel() const { return label.empty() ? def.name : label; }
    // `value` of this field as a screen shows it.
    std::string displayText(const Variant& value) const {
        if (display == DisplayFormat::DateOnly && value.kind() == VariantKind::DateTime) {
            return value.asDateTime().date().format();
        }
        return value.toText();
    }
    friend bool operator==(const FieldLayout&, const FieldLayout&) = default;
};

// The wire definitions of `layouts`, in order.
inline std::vector<FieldDef> fieldDefs(const std::vector<FieldLayout>& layouts) {
    std::vector<FieldDef> defs;
    defs.reserve(layouts.size());
    for (const auto& layout : layouts) {
        defs.push_back(layout.def);
    }
    return defs;
}

// Layouts for plain definitions: captions from the names, left-aligned, visible.
inline std::vector<FieldLayout> fieldLayouts(const std::vector<FieldDef>& defs) {
    std::vector<FieldLayout> layouts;
    layouts.reserve(defs.size());
    for (const auto& def : defs) {
        layouts.push_back(FieldLayout{def, {}, Alignment::Left, true, DisplayFormat::Value});
    }
    return layouts;
}

}  // namespace lembrete
