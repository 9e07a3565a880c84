#include "net/variant_reader.h"

#include "net/wire_format_error.h"

namespace lembrete {

void VariantReader::finish(Variant value) {
    result_ = std::move(value);
    done_ = true;
}

bool VariantReader::scalar(Json value) {
    if (places_.empty()) {
        finish(json_codec::decodeVariant(value));
        return true;
    }
    switch (top()) {
        case Place::Field:
            field_[key_] = std::move(value);
            break;
        case Place::Row:
        case Place::ChangeRow:
            row_.push_back(json_codec::decodeCell(value, nextCellField()));
            break;
        case Place::Change:
            if (key_ == "kind") {
                changeKind_ = value.is_string() ? value.get<std::string>() : std::string();
            }
            break;
        case Place::Fields:
            json_codec::decodeField(value);  // throws: not an object
            break;
        case Place::Rows:
            json_codec::decodeRow(value, packet_.fields);  // throws: not a list
            break;
        case Place::Changes:
            json_codec::decodeChange(value, packet_.fields);  // throws: not an object
            break;
        case Place::Packet:
            if (key_ == "fields" || key_ == "rows" || key_ == "changes") {
                throw WireFormatError("Pacote de dados inválido: \"" + key_ +
                                      "\" não é uma lista.");
            }
            break;
        case Place::Skip:
            break;
    }
    return true;
}

bool VariantReader::string(string_t& value) {
    // Most cells of a packet are text, read here without a document value for each.
    if (places_.empty() || (top() != Place::Row && top() != Place::ChangeRow)) {
        return scalar(Json(std::move(value)));
    }
    row_.push_back(json_codec::decodeTextCell(value, nextCellField()));
    return true;
}

const FieldDef& VariantReader::nextCellField() const {
    if (row_.size() >= packet_.fields.size()) {
        json_codec::checkRowWidth(row_.size() + 1, packet_.fields);
    }
    return packet_.fields[row_.size()];
}

bool VariantReader::start_object(std::size_t) {
    if (places_.empty()) {
        places_.push_back(Place::Packet);
        return true;
    }
    switch (top()) {
        case Place::Packet:
            if (key_ == "fields" || key_ == "rows" || key_ == "changes") {
                scalar(Json::object());  // throws: not a list
            }
            places_.push_back(Place::Skip);
            break;
        case Place::Fields:
            field_ = Json::object();
            places_.push_back(Place::Field);
            break;
        case Place::Changes:
            changeKind_.clear();
            oldRow_.reset();
            newRow_.reset();
            places_.push_back(Place::Change);
            break;
        case Place::Row:
        case Place::ChangeRow:
        case Place::Rows:
            scalar(Json::object());  // throws with the message a document would give
            break;
        case Place::Field:
            field_[key_] = Json::object();
            places_.push_back(Place::Skip);
            break;
        default:
            places_.push_back(Place::Skip);
            break;
    }
    return true;
}

bool VariantReader::key(string_t& name) {
    key_ = std::move(name);
    return true;
}

bool VariantReader::end_object() {
    const Place place = top();
    places_.pop_back();
    if (place == Place::Field) {
        packet_.fields.push_back(json_codec::decodeField(field_));
    } else if (place == Place::Change) {
        packet_.changes.push_back(
            json_codec::makeChange(changeKind_, std::move(oldRow_), std::move(newRow_)));
    } else if (place == Place::Packet) {
        if (!hasFields_) {
            throw WireFormatError("Pacote de dados inválido: falta a lista \"fields\".");
        }
        finish(Variant(std::move(packet_)));
    }
    return true;
}

bool VariantReader::start_array(std::size_t) {
    if (places_.empty()) {
        throw WireFormatError("Valor inválido: listas soltas não são aceitas.");
    }
    switch (top()) {
        case Place::Packet:
            if (key_ == "fields") {
                hasFields_ = true;
                places_.push_back(Place::Fields);
            } else if (key_ == "rows" || key_ == "changes") {
                if (!hasFields_) {
                    throw WireFormatError(
                        "Pacote de dados inválido: \"fields\" deve vir antes de \"" + key_ + "\".");
                }
                places_.push_back(key_ == "rows" ? Place::Rows : Place::Changes);
            } else {
                places_.push_back(Place::Skip);
            }
            break;
        case Place::Rows:
            row_.clear();
            row_.reserve(packet_.fields.size());
            places_.push_back(Place::Row);
            break;
        case Place::Change:
            if (key_ == "old" || key_ == "new") {
                row_.clear();
                rowIsOld_ = key_ == "old";
                places_.push_back(Place::ChangeRow);
            } else {
                places_.push_back(Place::Skip);
            }
            break;
        case Place::Row:
        case Place::ChangeRow:
        case Place::Fields:
        case Place::Changes:
            scalar(Json::array());  // throws with the message a document would give
            break;
        case Place::Field:
            field_[key_] = Json::array();
            places_.push_back(Place::Skip);
            break;
        case Place::Skip:
            places_.push_back(Place::Skip);
            break;
    }
    return true;
}

bool VariantReader::end_array() {
    const Place place = top();
    places_.pop_back();
    if (place == Place::Row || place == Place::ChangeRow) {
        json_codec::checkRowWidth(row_.size(), packet_.fields);
        if (place == Place::Row) {
            packet_.rows.push_back(std::move(row_));
        } else {
            (rowIsOld_ ? oldRow_ : newRow_) = std::move(row_);
        }
        row_ = Row();
    }
    return true;
}

}  // namespace lembrete
