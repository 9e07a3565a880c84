// Variant: the value of one dataset field, one server-method argument or one server result.
//
// Holds null, text, a whole number, a floating number, a boolean, a date-time, a blob (raw
// bytes, e.g. the rich text of a description) or a data packet (rows or a change log moving
// between a dataset and the server). A value type: copying a variant that holds a packet
// shares the immutable packet.
#pragma once

#include <cstdint>
#include <memory>
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

enum class VariantKind { Null, String, Integer, Float, Boolean, DateTime, Blob, Packet };

class Variant {
  public:
    Variant() = default;
    Variant(std::nullptr_t) {}
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(const char* text) : value_(std::string(text)) {}
    Variant(std::string_view text) : value_(std::string(text)) {}
    Variant(int number) : value_(std::int64_t{number}) {}
    Variant(std::int64_t number) : value_(number) {}
    Variant(double number) : value_(number) {}
    Variant(bool flag) : value_(flag) {}
    Variant(lembrete::DateTime when) : value_(when) {}
    Variant(lembrete::Date day) : value_(lembrete::DateTime(day)) {}
    Variant(lembrete::Blob blob) : value_(std::move(blob)) {}
    Variant(DataPacket packet);
    Variant(std::shared_ptr<const DataPacket> packet) : value_(std::move(packet)) {}

    VariantKind kind() const { return static_cast<VariantKind>(value_.index()); }
    bool isNull() const { return kind() == VariantKind::Null; }

    // Typed access; each throws std::bad_variant_access when the variant holds another kind.
    const std::string& asString() const { return std::get<std::string>(value_); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(value_); }
    double asFloat() const { return std::get<double>(value_); }
    bool asBoolean() const { return std::get<bool>(value_); }
    const lembrete::DateTime& asDateTime() const { return std::get<lembrete::DateTime>(value_); }
    const lembrete::Blob& asBlob() const { return std::get<lembrete::Blob>(value_); }
    const DataPacket& asPacket() const {
        return *std::get<std::shared_ptr<const DataPacket>>(value_);
    }

    // The value as text the way a field's display text shows it: empty for null, numbers in
    // decimal, dates as dd/mm/yyyy (with the time only when it is not midnight).
    std::string toText() const;
    // A number held as integer, float or numeric text; throws std::invalid_argument otherwise.
    double toNumber() const;

    friend bool operator==(const Variant& a, const Variant& b);

  private:
    std::variant<std::monostate, std::string, std::int64_t, double, bool, lembrete::DateTime,
                 lembrete::Blob, std::shared_ptr<const DataPacket>>
        value_;
};

}  // namespace lembrete
