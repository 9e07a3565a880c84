// RowOrder: the order a dataset keeps its rows in (one field, ascending or descending), and
// OrderKey, the place of one value in that order.
//
// Values compare by what they mean, not by their text: null first, then numbers (whole-number
// texts too, so that a priority "10" follows "9"), booleans (false first), date-times by time,
// texts by their letters with letter case and accents ignored as the reference filter ignores
// them ("ação" beside "Acao", before "Agenda"), and blobs by their bytes. Values that compare
// equal keep the order the rows came in.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

#include "data/variant.h"

namespace lembrete {

struct RowOrder {
    std::string field;
    bool descending = false;
    friend bool operator==(const RowOrder&, const RowOrder&) = default;
};

class OrderKey {
  public:
    explicit OrderKey(const Variant& value);

    friend std::weak_ordering operator<=>(const OrderKey& a, const OrderKey& b);
    friend bool operator==(const OrderKey& a, const OrderKey& b) {
        return (a <=> b) == std::weak_ordering::equivalent;
    }

  private:
    // The groups in their order; values of different groups never compare otherwise.
    enum class Group : std::uint8_t { Null, Number, Boolean, DateTime, Text, Bytes, Unordered };

    Group group_ = Group::Null;
    double number_ = 0;
    DateTime when_;
    std::string text_;  // folded text, or a blob's bytes
};

}  // namespace lembrete
