// Small UTF-8 text helpers shared by the data layer: character counts for field widths, a
// letter-case fold for lookups that ignore case (ASCII and the accented Latin letters of
// Portuguese, so that "REFERÊNCIA" and "referência" compare equal), and a fold of case and
// accents for comparisons that ignore both (the reference filter, the order of a grid column).
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
// `text` folded as foldCase and with the accents of Latin letters removed ("Reunião" and
// "REUNIAO" give "reuniao"). Each character maps to exactly one, so the width does not change.
std::string foldCaseAndAccents(std::string_view text);

// Length of the well-formed UTF-8 sequence that starts at `i` (1 to 4), or 0 when the bytes
// there are none (a stray continuation, an overlong form, a surrogate, a cut-off sequence).
std::size_t sequenceLength(std::string_view text, std::size_t i);
// `bytes` as UTF-8 text: well-formed sequences as they are, every other byte read as the
// Latin-1 character of that value, as texts written by older programs are. Nothing is dropped,
// and UTF-8 text comes back unchanged.
std::string fromUtf8OrLatin1(std::string_view bytes);

}  // namespace lembrete::utf8
