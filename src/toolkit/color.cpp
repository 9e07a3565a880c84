#include "toolkit/color.h"

#include <array>

namespace lembrete {

std::string_view colorName(TColor color) {
    static constexpr std::array<std::string_view, 16> kNames = {
        "clDefault", "clBlack",      "clWhite",  "clRed",    "clGreen",  "clBlue",
        "clNavy",    "clMaroon",     "clOlive",  "clGray",   "clSilver", "clYellow",
        "clWindow",  "clWindowText", "clInfoBk", "clBtnFace"};
    const auto index = static_cast<std::size_t>(color);
    return index < kNames.size() ? kNames[index] : std::string_view("clDefault");
}

}  // namespace lembrete
