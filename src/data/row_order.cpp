#include "data/row_order.h"

#include <charconv>
#include <optional>

#include "data/utf8.h"

namespace lembrete {
namespace {

// Digits beyond these would not all survive in a double.
constexpr std::size_t kMaxDigits = 15;

// The number a whole-number text stands for ("7", " 10", "-3"), none for any other text.
std::optional<double> wholeNumberOf(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    const std::size_t digits = text.size() - (text.front() == '-' ? 1 : 0);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (digits == 0 || digits > kMaxDigits || error != std::errc() ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<double>(number);
}

}  // namespace

OrderKey::OrderKey(const Variant& value) {
    switch (value.kind()) {
        case VariantKind::Null:
            group_ = Group::Null;
            break;
        case VariantKind::Integer:
            group_ = Group::Number;
            number_ = static_cast<double>(value.asInteger());
            break;
        case VariantKind::Float:
            group_ = Group::Number;
            number_ = value.asFloat();
            break;
        case VariantKind::Boolean:
            group_ = Group::Boolean;
            number_ = value.asBoolean() ? 1 : 0;
            break;
        case VariantKind::DateTime:
            group_ = Group::DateTime;
            when_ = value.asDateTime();
            break;
        case VariantKind::String:
            if (const auto number = wholeNumberOf(value.asStringView())) {
                group_ = Group::Number;
                number_ = *number;
            } else {
                group_ = Group::Text;
                text_ = utf8::foldCaseAndAccents(value.asStringView());
            }
            break;
        case VariantKind::Blob:
            group_ = Group::Bytes;
            text_ = value.asBlob().bytes;
            break;
        case VariantKind::Packet:
            group_ = Group::Unordered;
            break;
    }
}

std::weak_ordering operator<=>(const OrderKey& a, const OrderKey& b) {
    if (a.group_ != b.group_) {
        return a.group_ <=> b.group_;
    }
    switch (a.group_) {
        case OrderKey::Group::Number:
        case OrderKey::Group::Boolean:
            return std::weak_order(a.number_, b.number_);
        case OrderKey::Group::DateTime:
            return a.when_ <=> b.when_;
        case OrderKey::Group::Text:
        case OrderKey::Group::Bytes:
            return a.text_ <=> b.text_;
        case OrderKey::Group::Null:
        case OrderKey::Group::Unordered:
            break;
    }
    return std::weak_ordering::equivalent;
}

}  // namespace lembrete
