// Small UTF-8 text helpers shared by the data layer: character counts for field widths and
// a letter-case fold for lookups that ignore case (ASCII and the accented Latin letters of
// Portuguese, so that "REFERÊNCIA" and "referência" compare equal).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lembrete::utf8 {

// Number of characters (code points) in `text`; a stray byte counts as one character.
std::size_t length(std::string_view text);
// `text` with upper-case ASCII and Latin-1 letters turned to lower case.
std::string foldCase(std::string_view text);
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace lembrete::utf8
