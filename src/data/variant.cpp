#include "data/variant.h"

#include <charconv>
#include <cstring>
#include <stdexcept>
#include <utility>

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

static_assert(sizeof(DateTime) <= 22 && alignof(DateTime) <= 8);

template <class T, class... Args>
void Variant::hold(VariantKind kind, Args&&... args) {
    static_assert(sizeof(T) <= kInlineText && alignof(T) <= alignof(Variant));
    ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    kind_ = kind;
}

Variant::Variant(std::string_view text) {
    holdText(text);
}

Variant::Variant(std::int64_t number) noexcept {
    hold<std::int64_t>(VariantKind::Integer, number);
}

Variant::Variant(double number) noexcept {
    hold<double>(VariantKind::Float, number);
}

Variant::Variant(bool flag) noexcept {
    hold<bool>(VariantKind::Boolean, flag);
}

Variant::Variant(lembrete::DateTime when) noexcept {
    hold<lembrete::DateTime>(VariantKind::DateTime, when);
}

Variant::Variant(lembrete::Blob blob) {
    hold<BlobPtr>(VariantKind::Blob, std::make_shared<const lembrete::Blob>(std::move(blob)));
}

Variant::Variant(DataPacket packet) {
    hold<PacketPtr>(VariantKind::Packet, std::make_shared<const DataPacket>(std::move(packet)));
}

Variant::Variant(std::shared_ptr<const DataPacket> packet) noexcept {
    hold<PacketPtr>(VariantKind::Packet, std::move(packet));
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        *this = Variant(other);  // a failed copy leaves this value as it was
    }
    return *this;
}

void Variant::holdText(std::string_view text) {
    if (text.size() <= kInlineText) {
        std::memcpy(storage_, text.data(), text.size());
        textSize_ = static_cast<std::uint8_t>(text.size());
        kind_ = VariantKind::String;
        return;
    }
    auto bytes = std::make_unique_for_overwrite<char[]>(text.size());
    std::memcpy(bytes.get(), text.data(), text.size());
    hold<HeapText>(VariantKind::String, HeapText{std::move(bytes), text.size()});
    textSize_ = kTextOnHeap;
}

void Variant::copyFrom(const Variant& other) {
    switch (other.kind_) {
        case VariantKind::Blob:
            hold<BlobPtr>(other.kind_, other.stored<BlobPtr>());
            break;
        case VariantKind::Packet:
            hold<PacketPtr>(other.kind_, other.stored<PacketPtr>());
            break;
        default:
            holdText(other.asStringView());
            break;
    }
}

void Variant::moveFrom(Variant& other) noexcept {
    switch (other.kind_) {
        case VariantKind::Blob:
            hold<BlobPtr>(other.kind_, std::move(other.stored<BlobPtr>()));
            break;
        case VariantKind::Packet:
            hold<PacketPtr>(other.kind_, std::move(other.stored<PacketPtr>()));
            break;
        default:
            hold<HeapText>(other.kind_, std::move(other.stored<HeapText>()));
            textSize_ = kTextOnHeap;
            break;
    }
    other.reset();
}

void Variant::release() noexcept {
    switch (kind_) {
        case VariantKind::Blob:
            std::destroy_at(&stored<BlobPtr>());
            break;
        case VariantKind::Packet:
            std::destroy_at(&stored<PacketPtr>());
            break;
        default:
            std::destroy_at(&stored<HeapText>());
            break;
    }
    textSize_ = 0;
    kind_ = VariantKind::Null;
}

std::string_view Variant::asStringView() const {
    if (kind_ != VariantKind::String) {
        throw std::bad_variant_access();
    }
    if (textSize_ == kTextOnHeap) {
        const auto& text = stored<HeapText>();
        return {text.bytes.get(), text.size};
    }
    return {reinterpret_cast<const char*>(storage_), textSize_};
}

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
            const auto text = trimmed(asStringView());
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
    if (a.kind_ != b.kind_) {
        return false;
    }
    switch (a.kind_) {
        case VariantKind::Null:
            return true;
        case VariantKind::String:
            return a.asStringView() == b.asStringView();
        case VariantKind::Integer:
            return a.asInteger() == b.asInteger();
        case VariantKind::Float:
            return a.asFloat() == b.asFloat();
        case VariantKind::Boolean:
            return a.asBoolean() == b.asBoolean();
        case VariantKind::DateTime:
            return a.asDateTime() == b.asDateTime();
        case VariantKind::Blob: {
            const auto& pa = a.stored<Variant::BlobPtr>();
            const auto& pb = b.stored<Variant::BlobPtr>();
            return pa == pb || *pa == *pb;
        }
        case VariantKind::Packet: {
            const auto& pa = a.stored<Variant::PacketPtr>();
            const auto& pb = b.stored<Variant::PacketPtr>();
            return pa == pb || (pa && pb && *pa == *pb);
        }
    }
    return false;
}

}  // namespace lembrete
