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

namespace {

// The folded form of the byte at `i`: ASCII letters lowered; the second byte of an upper-case
// Latin-1 letter (U+00C0..U+00DE except the multiplication sign U+00D7, lead byte 0xC3) moved
// 0x20 on, to its lower-case letter.
char foldedAt(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c + ('a' - 'A'));
    }
    if (i > 0 && static_cast<unsigned char>(text[i - 1]) == 0xC3 && c >= 0x80 && c <= 0x9E &&
        c != 0x97) {
        return static_cast<char>(c + 0x20);
    }
    return static_cast<char>(c);
}

}  // namespace

std::string foldCase(std::string_view text) {
    std::string folded(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        folded[i] = foldedAt(text, i);
    }
    return folded;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldedAt(a, i) != foldedAt(b, i)) {
            return false;
        }
    }
    return true;
}

}  // namespace lembrete::utf8
