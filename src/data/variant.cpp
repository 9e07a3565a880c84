#include "data/variant.h"

#include <charconv>
#include <stdexcept>

#include "data/data_packet.h"

namespace lembrete {
namespace {

std::string formatFloat(double number) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, number);
    return ec == std::errc{} ? std::string(buffer, end) : std::string();
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

Variant::Variant(DataPacket packet)
    : value_(std::make_shared<const DataPacket>(std::move(packet))) {}

std::string Variant::toText() const {
    switch (kind()) {
        case VariantKind::Null:
        case VariantKind::Packet:
            return {};
        case VariantKind::String:
            return asString();
        case VariantKind::Integer:
            return std::to_string(asInteger());
        case VariantKind::Float:
            return formatFloat(asFloat());
        case VariantKind::Boolean:
            return asBoolean() ? "True" : "False";
        case VariantKind::DateTime: {
            const auto& when = asDateTime();
            return when.timeOfDay().count() == 0 ? when.date().format() : when.format();
        }
        case VariantKind::Blob:
            return asBlob().bytes;
    }
    return {};
}

double Variant::toNumber() const {
    switch (kind()) {
        case VariantKind::Integer:
            return static_cast<double>(asInteger());
        case VariantKind::Float:
            return asFloat();
        case VariantKind::String: {
            const auto text = trimmed(asString());
            double number = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (!text.empty() && ec == std::errc{} && end == text.data() + text.size()) {
                return number;
            }
            break;
        }
        default:
            break;
    }
    throw std::invalid_argument("Valor não numérico: \"" + toText() + "\"");
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.kind() == VariantKind::Packet && b.kind() == VariantKind::Packet) {
        const auto& pa = std::get<std::shared_ptr<const DataPacket>>(a.value_);
        const auto& pb = std::get<std::shared_ptr<const DataPacket>>(b.value_);
        return pa == pb || (pa && pb && *pa == *pb);
    }
    return a.value_ == b.value_;
}

}  // namespace lembrete
