#include "data/field.h"

#include <cmath>
#include <stdexcept>

#include "data/client_data_set.h"
#include "data/utf8.h"

namespace lembrete {

const FieldLayout& Field::Layout() const {
    return dataSet_->FieldLayouts().at(index_);
}

const Variant& Field::AsVariant() const {
    return dataSet_->fieldValue(index_);
}

std::string Field::AsString() const {
    return AsVariant().toText();
}

double Field::AsFloat() const {
    const auto& value = AsVariant();
    switch (value.kind()) {
        case VariantKind::Null:
            return 0;
        case VariantKind::Boolean:
            return value.asBoolean() ? 1 : 0;
        case VariantKind::DateTime:
            return value.asDateTime().dayNumber();
        default:
            return value.toNumber();
    }
}

std::int64_t Field::AsInteger() const {
    const auto& value = AsVariant();
    return value.kind() == VariantKind::Integer ? value.asInteger() : std::llround(AsFloat());
}

bool Field::AsBoolean() const {
    const auto& value = AsVariant();
    switch (value.kind()) {
        case VariantKind::Null:
            return false;
        case VariantKind::Boolean:
            return value.asBoolean();
        case VariantKind::String:
            return utf8::equalIgnoringCase(value.asStringView(), "true") ||
                   utf8::equalIgnoringCase(value.asStringView(), "s");
        default:
            return AsFloat() != 0;
    }
}

DateTime Field::AsDateTime() const {
    const auto& value = AsVariant();
    switch (value.kind()) {
        case VariantKind::Null:
            return DateTime();
        case VariantKind::DateTime:
            return value.asDateTime();
        case VariantKind::String:
            if (auto parsed = DateTime::parse(value.asStringView())) {
                return *parsed;
            }
            throw std::invalid_argument("O campo \"" + DisplayLabel() +
                                        "\" não contém uma data válida: \"" + value.asString() +
                                        "\"");
        default:
            return DateTime::fromDayNumber(AsFloat());
    }
}

void Field::SetValue(Variant value) {
    dataSet_->setFieldValue(index_, std::move(value));
}

}  // namespace lembrete
