// RpcArguments: the positional "params" of one call, read by position and kind.
//
// Each reader throws RpcFailure(InvalidParams) with a Portuguese message naming the method
// and the argument when the value has the wrong kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/data_packet.h"
#include "data/date.h"
#include "net/json_codec.h"

namespace lembrete {

class RpcArguments {
  public:
    RpcArguments(std::string method, const std::vector<JsonValue>& params)
        : method_(std::move(method)), params_(params) {}

    // Throws unless there are exactly `count` arguments, or `alternative` when not 0.
    void expectCount(std::size_t count, std::size_t alternative = 0) const;
    std::size_t count() const { return params_.size(); }

    std::string text(std::size_t index) const;  // a string; null reads as empty
    std::optional<std::string> optionalText(std::size_t index) const;  // a string, or null
    bool boolean(std::size_t index) const;
    DateTime dateTime(std::size_t index) const;                         // ISO 8601 text
    std::optional<DateTime> optionalDateTime(std::size_t index) const;  // the same, or null
    std::int64_t integer(std::size_t index) const;
    DataPacket packet(std::size_t index) const;

  private:
    [[noreturn]] void refuse(std::size_t index, const std::string& expected) const;

    std::string method_;
    const std::vector<JsonValue>& params_;
};

}  // namespace lembrete
