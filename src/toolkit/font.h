// TFont: the font state the screens set (a navy bold group caption, white grid titles).
#pragma once

#include "toolkit/color.h"

namespace lembrete {

struct TFont {
    TColor color = clDefault;
    bool bold = false;
    friend bool operator==(const TFont&, const TFont&) = default;
};

}  // namespace lembrete
