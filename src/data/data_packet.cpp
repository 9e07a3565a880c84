#include "data/data_packet.h"

#include <array>
#include <utility>

#include "data/utf8.h"

namespace lembrete {
namespace {

constexpr std::array<std::pair<FieldType, const char*>, 6> kTypeNames{{
    {FieldType::String, "string"},
    {FieldType::Integer, "integer"},
    {FieldType::Float, "float"},
    {FieldType::Boolean, "boolean"},
    {FieldType::DateTime, "datetime"},
    {FieldType::Blob, "blob"},
}};

}  // namespace

int DataPacket::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (utf8::equalIgnoringCase(fields[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const char* fieldTypeName(FieldType type) {
    for (const auto& [t, name] : kTypeNames) {
        if (t == type) {
            return name;
        }
    }
    return "string";
}

std::optional<FieldType> fieldTypeFromName(std::string_view name) {
    for (const auto& [t, typeName] : kTypeNames) {
        if (utf8::equalIgnoringCase(typeName, name)) {
            return t;
        }
    }
    return std::nullopt;
}

const char* changeKindName(ChangeKind kind) {
    switch (kind) {
        case ChangeKind::Insert:
            return "insert";
        case ChangeKind::Update:
            return "update";
        case ChangeKind::Delete:
            return "delete";
    }
    return "insert";
}

}  // namespace lembrete
