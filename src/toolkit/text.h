// Splits UTF-8 text into characters, for boxes that take typing one character at a time.
// (Counting and case-insensitive comparison live in data/utf8.h.)
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lembrete {

// `text` split into its UTF-8 characters, each as its own string.
std::vector<std::string> utf8Characters(std::string_view text);

}  // namespace lembrete
