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

namespace {

// Base letters of U+00E0..U+00FF (after case folding only lower-case letters remain there);
// zero keeps the character as it is (æ, ð, ÷, þ).
constexpr char kBaseLetters[32] = {'a', 'a', 'a', 'a', 'a', 'a', 0,   'c', 'e', 'e', 'e',
                                   'e', 'i', 'i', 'i', 'i', 0,   'n', 'o', 'o', 'o', 'o',
                                   'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 0,   'y'};

}  // namespace

std::string foldCaseAndAccents(std::string_view text) {
    const std::string folded = foldCase(text);
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

std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[i + 1]);
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

std::string fromUtf8OrLatin1(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = sequenceLength(bytes, i); length > 0) {
            text.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        // U+0080..U+00FF in two bytes.
        const auto c = static_cast<unsigned char>(bytes[i++]);
        text.push_back(static_cast<char>(0xC0 | (c >> 6)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return text;
}

}  // namespace lembrete::utf8
