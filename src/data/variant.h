// Variant: the value of one dataset field, one server-method argument or one server result.
//
// Holds null, text, a whole number, a floating number, a boolean, a date-time, a blob (raw
// bytes, e.g. the rich text of a description) or a data packet (rows or a change log moving
// between a dataset and the server). A value type: copying a variant that holds a blob or a
// packet shares the immutable blob or packet.
//
// A row holds one variant per field and a dataset holds every row, so a variant takes 24
// bytes: text up to 22 bytes (codes, numbers, dates, names) lives inside it, longer text in
// one heap block of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <variant>

#include "data/date.h"

namespace lembrete {

struct DataPacket;

struct Blob {
    std::string bytes;
    friend bool operator==(const Blob&, const Blob&) = default;
};

enum class VariantKind : std::uint8_t {
    Null,
    String,
    Integer,
    Float,
    Boolean,
    DateTime,
    Blob,
    Packet
};

class Variant {
  public:
    Variant() noexcept {}
    Variant(std::nullptr_t) noexcept {}
    Variant(std::string_view text);
    Variant(const std::string& text) : Variant(std::string_view(text)) {}
    Variant(const char* text) : Variant(std::string_view(text)) {}
    Variant(int number) noexcept : Variant(std::int64_t{number}) {}
    Variant(std::int64_t number) noexcept;
    Variant(double number) noexcept;
    Variant(bool flag) noexcept;
    Variant(lembrete::DateTime when) noexcept;
    Variant(lembrete::Date day) noexcept : Variant(lembrete::DateTime(day)) {}
    Variant(lembrete::Blob blob);
    Variant(DataPacket packet);
    Variant(std::shared_ptr<const DataPacket> packet) noexcept;

    // Plain values (null, inline text, numbers, flags, dates) are copied as bytes, inline:
    // a row's values are copied, moved and destroyed field by field.
    Variant(const Variant& other) {
        if (other.ownsHeap()) {
            copyFrom(other);
        } else {
            copyBytes(other);
        }
    }
    Variant(Variant&& other) noexcept { take(other); }  // leaves `other` null
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            reset();
            take(other);
        }
        return *this;
    }
    ~Variant() {
        if (ownsHeap()) {
            release();
        }
    }

    VariantKind kind() const { return kind_; }
    bool isNull() const { return kind_ == VariantKind::Null; }

    // Typed access; each throws std::bad_variant_access when the variant holds another kind.
    // asStringView reads the text in place (valid while the variant holds it); asString copies.
    std::string_view asStringView() const;
    std::string asString() const { return std::string(asStringView()); }
    std::int64_t asInteger() const { return held<std::int64_t>(VariantKind::Integer); }
    double asFloat() const { return held<double>(VariantKind::Float); }
    bool asBoolean() const { return held<bool>(VariantKind::Boolean); }
    const lembrete::DateTime& asDateTime() const {
        return held<lembrete::DateTime>(VariantKind::DateTime);
    }
    const lembrete::Blob& asBlob() const { return *held<BlobPtr>(VariantKind::Blob); }
    const DataPacket& asPacket() const { return *held<PacketPtr>(VariantKind::Packet); }

    // The value as text the way a field's display text shows it: empty for null, numbers in
    // decimal, dates as dd/mm/yyyy (with the time only when it is not midnight).
    std::string toText() const;
    // A number held as integer, float or numeric text; throws std::invalid_argument otherwise.
    double toNumber() const;

    friend bool operator==(const Variant& a, const Variant& b);

  private:
    using BlobPtr = std::shared_ptr<const lembrete::Blob>;
    using PacketPtr = std::shared_ptr<const DataPacket>;
    // Text longer than fits inside: its bytes, not null-terminated.
    struct HeapText {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };
    static constexpr std::size_t kInlineText = 22;
    static constexpr std::uint8_t kTextOnHeap = 0xFF;

    template <class T>
    T& stored() {
        return *std::launder(reinterpret_cast<T*>(storage_));
    }
    template <class T>
    const T& stored() const {
        return *std::launder(reinterpret_cast<const T*>(storage_));
    }
    template <class T>
    const T& held(VariantKind kind) const {
        if (kind_ != kind) {
            throw std::bad_variant_access();
        }
        return stored<T>();
    }
    template <class T, class... Args>
    void hold(VariantKind kind, Args&&... args);
    bool ownsHeap() const {
        return textSize_ == kTextOnHeap || kind_ == VariantKind::Blob ||
               kind_ == VariantKind::Packet;
    }
    void copyBytes(const Variant& other) noexcept {
        std::memcpy(storage_, other.storage_, sizeof storage_);
        textSize_ = other.textSize_;
        kind_ = other.kind_;
    }
    void holdText(std::string_view text);
    void copyFrom(const Variant& other);  // of a value that owns heap memory
    void moveFrom(Variant& other) noexcept;
    void release() noexcept;  // destroys an owned value, leaving null
    // Takes the value of `other`, which is left null.
    void take(Variant& other) noexcept {
        if (other.ownsHeap()) {
            moveFrom(other);
        } else {
            copyBytes(other);
            other.kind_ = VariantKind::Null;
        }
    }
    void reset() noexcept {
        if (ownsHeap()) {
            release();
        }
        textSize_ = 0;
        kind_ = VariantKind::Null;
    }

    alignas(8) unsigned char storage_[kInlineText]{};
    std::uint8_t textSize_ = 0;  // inline text's length, or kTextOnHeap
    VariantKind kind_ = VariantKind::Null;
};

static_assert(sizeof(Variant) == 24);

}  // namespace lembrete
