// VariantReader: reads one JSON value from parser events (nlohmann's SAX interface) into a
// Variant, the way json_codec::decodeVariant reads it from a document.
//
// A packet is decoded row by row as its text streams by, without a document of its rows: for
// a result of a thousand rows that halves the cost of reading it. The "fields" list must come
// before "rows" and "changes" (as json_codec writes it). Shape errors throw WireFormatError.
// Used for the "result" of a response by the client transport.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "net/json_codec.h"

namespace lembrete {

class VariantReader : public nlohmann::json_sax<Json> {
  public:
    bool null() override { return scalar(Json()); }
    bool boolean(bool value) override { return scalar(Json(value)); }
    bool number_integer(number_integer_t value) override { return scalar(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return scalar(Json(value)); }
    bool number_float(number_float_t value, const string_t&) override {
        return scalar(Json(value));
    }
    bool string(string_t& value) override;
    bool binary(binary_t&) override { return scalar(Json()); }
    bool start_object(std::size_t) override;
    bool key(string_t& name) override;
    bool end_object() override;
    bool start_array(std::size_t) override;
    bool end_array() override;
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

    // True once the whole value has been read.
    bool done() const { return done_; }
    Variant take() { return std::move(result_); }

  private:
    enum class Place { Packet, Fields, Field, Rows, Row, Changes, Change, ChangeRow, Skip };

    bool scalar(Json value);
    // The field of the row's next cell; throws when the row is full.
    const FieldDef& nextCellField() const;
    Place top() const { return places_.back(); }
    void finish(Variant value);

    std::vector<Place> places_;
    std::string key_;
    bool hasFields_ = false;
    DataPacket packet_;
    Json field_;
    Row row_;
    std::string changeKind_;
    std::optional<Row> oldRow_;
    std::optional<Row> newRow_;
    bool rowIsOld_ = false;
    Variant result_;
    bool done_ = false;
};

}  // namespace lembrete
