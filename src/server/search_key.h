// The form of a reference text that the reference filter compares: letter case and the
// accents of Latin letters removed ("Reunião" and "REUNIAO" give "reuniao"). The server stores
// it beside each reference and folds the filter text the same way, so a plain substring match
// in SQL is case- and accent-insensitive on every database.
#pragma once

#include <string>
#include <string_view>

namespace lembrete {

// Each character maps to exactly one character, so the width of the text does not change.
std::string searchKey(std::string_view text);

}  // namespace lembrete
