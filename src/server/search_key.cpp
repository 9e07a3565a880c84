#include "server/search_key.h"

#include <simdjson.h>

#include "data/utf8.h"
#include "interchange/html_text.h"

namespace lembrete {
namespace {

// Base letters of U+00E0..U+00FF (after case folding only lower-case letters remain there);
// zero keeps the character as it is (æ, ð, ÷, þ).
constexpr char kBaseLetters[32] = {'a', 'a', 'a', 'a', 'a', 'a', 0,   'c', 'e', 'e', 'e',
                                   'e', 'i', 'i', 'i', 'i', 0,   'n', 'o', 'o', 'o', 'o',
                                   'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 0,   'y'};

}  // namespace

std::string searchKey(std::string_view text) {
    const std::string folded = utf8::foldCase(text);
    std::string key;
    key.reserve(folded.size());
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0xA0 && next <= 0xBF && kBaseLetters[next - 0xA0] != 0) {
                key.push_back(kBaseLetters[next - 0xA0]);
                ++i;
                continue;
            }
        }
        key.push_back(folded[i]);
    }
    return key;
}

std::string descriptionSearchKey(std::string_view richText) {
    std::string text = plainTextOf(std::string(richText));
    if (!simdjson::validate_utf8(text.data(), text.size())) {
        std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    return searchKey(text);
}

}  // namespace lembrete
