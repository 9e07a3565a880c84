#include "toolkit/text.h"

namespace lembrete {

std::vector<std::string> utf8Characters(std::string_view text) {
    std::vector<std::string> characters;
    for (char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (continuation && !characters.empty()) {
            characters.back().push_back(c);
        } else {
            characters.emplace_back(1, c);
        }
    }
    return characters;
}

}  // namespace lembrete
