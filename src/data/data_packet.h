// DataPacket: rows, or a change log (delta), moving between a client dataset and the server.
//
// Field definitions carry name, type, width (characters, for strings) and origin (the server
// column the field stands for, "DBHALVARD.ATIVPESSOAL.NRATIVPESS"). A packet read from the
// server fills `rows`; a delta sent to the server fills `changes`, each change holding the
// row's old values (update, delete) and new values (insert, update) in field order.
#pragma once

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

enum class ChangeKind { Insert, Update, Delete };

struct Change {
    ChangeKind kind = ChangeKind::Insert;
    Row oldValues;  // empty for an insert
    Row newValues;  // empty for a delete
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
