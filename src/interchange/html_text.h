// The plain text of a reminder's rich-text description, for DESCRIPTION (the rich text itself
// travels in X-ALT-DESC). A description stored as plain text is returned as it is.
#pragma once

#include <string>

namespace lembrete {

// Paragraphs and line breaks become new lines; the style sheet and markup are dropped.
std::string plainTextOf(const std::string& richText);
// True when `text` is HTML rather than plain text.
bool isHtml(const std::string& text);

}  // namespace lembrete
