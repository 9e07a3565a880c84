#include "toolkit/mask_edit.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "data/utf8.h"
#include "toolkit/text.h"

namespace lembrete {
namespace {

bool slotAccepts(char kind, const std::string& character) {
    const bool ascii = character.size() == 1;
    const auto c = static_cast<unsigned char>(character[0]);
    switch (kind) {
        case '0':
        case '9':
            return ascii && std::isdigit(c);
        case 'L':
        case 'l':
            return !ascii || std::isalpha(c);
        case 'A':
        case 'a':
            return !ascii || std::isalnum(c);
        default:
            return true;
    }
}

bool required(char kind) {
    return kind == '0' || kind == 'L' || kind == 'A' || kind == 'C';
}

}  // namespace

void TMaskEdit::SetEditMask(std::string mask) {
    const auto firstSeparator = mask.find(';');
    const std::string pattern = mask.substr(0, firstSeparator);
    std::string saveLiterals = "1";
    std::string blank = "_";
    if (firstSeparator != std::string::npos) {
        const auto second = mask.find(';', firstSeparator + 1);
        saveLiterals = mask.substr(firstSeparator + 1, second - firstSeparator - 1);
        if (second != std::string::npos) {
            blank = mask.substr(second + 1);
        }
    }
    if (saveLiterals != "0") {
        throw std::invalid_argument(Name() + ": máscara que grava literais não suportada: " + mask);
    }
    std::vector<Slot> slots;
    const auto characters = utf8Characters(pattern);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::string& c = characters[i];
        if (c == "\\" && i + 1 < characters.size()) {
            slots.push_back({0, characters[++i]});
        } else if (c.size() == 1 &&
                   std::string_view("09LlAaCc").find(c[0]) != std::string_view::npos) {
            slots.push_back({c[0], {}});
        } else {
            slots.push_back({0, c});
        }
    }
    if (std::none_of(slots.begin(), slots.end(), [](const Slot& s) { return s.kind != 0; })) {
        throw std::invalid_argument(Name() + ": máscara sem posições de entrada: " + mask);
    }
    editMask_ = std::move(mask);
    slots_ = std::move(slots);
    blank_ = blank.empty() ? " " : blank;
    if (!Accepts(Text())) {
        Clear();
    }
}

std::vector<const TMaskEdit::Slot*> TMaskEdit::inputSlots() const {
    std::vector<const Slot*> inputs;
    for (const Slot& slot : slots_) {
        if (slot.kind != 0) {
            inputs.push_back(&slot);
        }
    }
    return inputs;
}

bool TMaskEdit::Accepts(const std::string& text) const {
    if (!TCustomEdit::Accepts(text)) {
        return false;
    }
    if (slots_.empty()) {
        return true;
    }
    const auto inputs = inputSlots();
    const auto characters = utf8Characters(text);
    if (characters.size() > inputs.size()) {
        return false;
    }
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (!slotAccepts(inputs[i]->kind, characters[i])) {
            return false;
        }
    }
    return true;
}

std::string TMaskEdit::DisplayText() const {
    if (slots_.empty()) {
        return Text();
    }
    const auto characters = utf8Characters(Text());
    std::string shown;
    std::size_t next = 0;
    for (const Slot& slot : slots_) {
        if (slot.kind == 0) {
            shown += slot.literal;
        } else {
            shown += next < characters.size() ? characters[next++] : blank_;
        }
    }
    return shown;
}

bool TMaskEdit::Complete() const {
    const auto inputs = inputSlots();
    const std::size_t filled = utf8::length(Text());
    for (std::size_t i = filled; i < inputs.size(); ++i) {
        if (required(inputs[i]->kind)) {
            return false;
        }
    }
    return true;
}

}  // namespace lembrete
