#include "server/search_key.h"

#include <simdjson.h>

#include "data/utf8.h"
#include "interchange/html_text.h"

namespace lembrete {

std::string searchKey(std::string_view text) {
    return utf8::foldCaseAndAccents(text);
}

std::string descriptionSearchKey(std::string_view richText) {
    std::string text = plainTextOf(std::string(richText));
    if (!simdjson::validate_utf8(text.data(), text.size())) {
        std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    return searchKey(text);
}

}  // namespace lembrete
