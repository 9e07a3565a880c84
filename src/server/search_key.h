// The form of a reference text that the reference filter compares: letter case and the
// accents of Latin letters removed (utf8::foldCaseAndAccents, which the client's column order
// shares: "Reunião" and "REUNIAO" give "reuniao"). The server stores
// it beside each reference and folds the filter text the same way, so a plain substring match
// in SQL is case- and accent-insensitive on every database.
#pragma once

#include <string>
#include <string_view>

namespace lembrete {

// Each character maps to exactly one character, so the width of the text does not change.
std::string searchKey(std::string_view text);

// The key of a description: the words of its rich text (markup dropped), folded as above.
// Bytes that are not UTF-8 (a description is a blob) are left out, so the key is always text
// that any database stores.
std::string descriptionSearchKey(std::string_view richText);

}  // namespace lembrete
