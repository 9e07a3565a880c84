#include "data/utf8.h"

namespace lembrete::utf8 {

std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((c & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::string foldCase(std::string_view text) {
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + ('a' - 'A'));
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            // U+00C0..U+00DE (except the multiplication sign U+00D7) are the upper-case
            // Latin-1 letters; their lower case lies 0x20 further, in the same lead byte.
            auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                folded[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return folded;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldCase(a) == foldCase(b);
}

}  // namespace lembrete::utf8
