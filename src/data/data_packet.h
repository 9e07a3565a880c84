// DataPacket: rows, or a change log (delta), moving between a client dataset and the server.
//
// Field definitions carry name, type, width (characters, for strings) and origin (the server
// column the field stands for, "DBHALVARD.ATIVPESSOAL.NRATIVPESS"). A packet read from the
// server fills `rows`; a delta sent to the server fills `changes`, each change holding the
// row's old values (update, delete) and new values (insert, update) in field order. A change
// shares its rows' values (SharedRow) with the dataset it came from instead of copying them.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/variant.h"

namespace lembrete {

enum class FieldType { String, Integer, Float, Boolean, DateTime, Blob };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;  // width in characters for strings; 0 otherwise
    std::string origin;
    friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

using Row = std::vector<Variant>;

// The values of one row, immutable and shared: copying a SharedRow copies a reference. Reads
// as a const Row; a changed row is a new SharedRow made from a Row.
class SharedRow {
  public:
    SharedRow() = default;  // no values
    SharedRow(Row values) : values_(std::make_shared<const Row>(std::move(values))) {}
    SharedRow(std::shared_ptr<const Row> values) : values_(std::move(values)) {}

    const Row& values() const { return values_ ? *values_ : kNone; }
    operator const Row&() const { return values(); }
    const Variant& operator[](std::size_t index) const { return values()[index]; }
    std::size_t size() const { return values().size(); }
    bool empty() const { return values().empty(); }
    Row::const_iterator begin() const { return values().begin(); }
    Row::const_iterator end() const { return values().end(); }

    friend bool operator==(const SharedRow& a, const SharedRow& b) {
        return a.values_ == b.values_ || a.values() == b.values();
    }

  private:
    static inline const Row kNone{};
    std::shared_ptr<const Row> values_;
};

enum class ChangeKind { Insert, Update, Delete };

struct Change {
    ChangeKind kind = ChangeKind::Insert;
    SharedRow oldValues;  // empty for an insert
    SharedRow newValues;  // empty for a delete
    friend bool operator==(const Change&, const Change&) = default;
};

struct DataPacket {
    std::vector<FieldDef> fields;
    std::vector<Row> rows;
    std::vector<Change> changes;

    // Index of the named field (letter case ignored), or -1.
    int fieldIndex(std::string_view name) const;
    friend bool operator==(const DataPacket&, const DataPacket&) = default;
};

const char* fieldTypeName(
    FieldType type);  // "string", "integer", "float", "boolean", "datetime", "blob"
std::optional<FieldType> fieldTypeFromName(std::string_view name);
const char* changeKindName(ChangeKind kind);  // "insert", "update", "delete"

}  // namespace lembrete
