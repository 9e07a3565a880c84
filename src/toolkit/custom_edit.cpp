#include "toolkit/custom_edit.h"

#include <stdexcept>

#include "data/utf8.h"
#include "toolkit/text.h"

namespace lembrete {

void TCustomEdit::SetText(std::string text) {
    if (text == text_) {
        return;
    }
    if (!Accepts(text)) {
        throw std::invalid_argument(Name() + ": texto não aceito: \"" + text + "\"");
    }
    assign(std::move(text));
}

void TCustomEdit::assign(std::string text) {
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    changed(Property::Text);
    textChanged();
    OnChange.fire();
}

void TCustomEdit::SetMaxLength(int maxLength) {
    update(maxLength_, maxLength, Property::MaxLength);
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    update(readOnly_, readOnly, Property::ReadOnly);
}

bool TCustomEdit::Accepts(const std::string& text) const {
    return maxLength_ <= 0 || utf8::length(text) <= static_cast<std::size_t>(maxLength_);
}

bool TCustomEdit::AcceptsTyped(const std::string& character) const {
    return Accepts(text_ + character);
}

void TCustomEdit::TypeText(std::string_view typed) {
    if (!Interactive() || readOnly_) {
        return;
    }
    for (const std::string& character : utf8Characters(typed)) {
        if (AcceptsTyped(character)) {
            if (!userAction([&] { assign(text_ + character); })) {
                return;
            }
        }
    }
}

void TCustomEdit::Backspace() {
    if (!Interactive() || readOnly_ || text_.empty()) {
        return;
    }
    auto characters = utf8Characters(text_);
    characters.pop_back();
    std::string shorter;
    for (const auto& character : characters) {
        shorter += character;
    }
    userAction([&] { assign(std::move(shorter)); });
}

bool TCustomEdit::EnterText(std::string text) {
    if (!Interactive() || readOnly_ || !Accepts(text)) {
        return false;
    }
    userAction([&] { assign(std::move(text)); });
    return true;
}

}  // namespace lembrete
