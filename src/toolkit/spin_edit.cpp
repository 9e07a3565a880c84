#include "toolkit/spin_edit.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>

namespace lembrete {
namespace {

std::optional<long long> parseNumber(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

void TSpinEdit::SetRange(int minValue, int maxValue) {
    if (minValue > maxValue) {
        throw std::invalid_argument(Name() + ": mínimo maior que o máximo");
    }
    minValue_ = minValue;
    maxValue_ = maxValue;
    changed(Property::Range);
}

int TSpinEdit::clamp(long long value) const {
    if (!limited()) {
        return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    }
    return static_cast<int>(std::clamp<long long>(value, minValue_, maxValue_));
}

int TSpinEdit::Value() const {
    const auto number = parseNumber(Text());
    return number ? clamp(*number) : minValue_;
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(clamp(value)));
}

void TSpinEdit::StepUp() {
    if (Interactive() && !ReadOnly()) {
        userAction([this] { SetValue(clamp(static_cast<long long>(Value()) + increment_)); });
    }
}

void TSpinEdit::StepDown() {
    if (Interactive() && !ReadOnly()) {
        userAction([this] { SetValue(clamp(static_cast<long long>(Value()) - increment_)); });
    }
}

bool TSpinEdit::Accepts(const std::string& text) const {
    if (!TCustomEdit::Accepts(text)) {
        return false;
    }
    const std::size_t digitsFrom = (!text.empty() && text[0] == '-') ? 1 : 0;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digitsFrom), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

void TSpinEdit::left() {
    const auto number = parseNumber(Text());
    if (number && clamp(*number) != *number) {
        assign(std::to_string(clamp(*number)));
    }
}

}  // namespace lembrete
