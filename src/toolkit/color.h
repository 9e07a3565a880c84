// TColor: the named colours the screens use as state (a selected weekday panel is clRed, an
// editable field clInfoBk, a disabled one clBtnFace). The Qt layer maps each to a palette
// colour; the logic only compares names.
#pragma once

#include <string_view>

namespace lembrete {

enum TColor {
    clDefault,  // the control's usual colour
    clBlack,
    clWhite,
    clRed,
    clGreen,
    clBlue,
    clNavy,
    clMaroon,
    clOlive,
    clGray,
    clSilver,
    clYellow,
    clWindow,
    clWindowText,
    clInfoBk,
    clBtnFace,
};

std::string_view colorName(TColor color);  // "clRed" ...

}  // namespace lembrete
