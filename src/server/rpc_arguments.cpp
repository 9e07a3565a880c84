#include "server/rpc_arguments.h"

#include "net/rpc_error_codes.h"
#include "net/wire_format_error.h"
#include "server/rpc_failure.h"

namespace lembrete {

void RpcArguments::expectCount(std::size_t count, std::size_t alternative) const {
    if (params_.size() != count && (alternative == 0 || params_.size() != alternative)) {
        const std::string expected =
            std::to_string(count) + (alternative == 0 ? "" : " ou " + std::to_string(alternative));
        throw RpcFailure(rpc_error::InvalidParams, "Número de argumentos inválido para " + method_ +
                                                       ": esperados " + expected + ", recebidos " +
                                                       std::to_string(params_.size()) + ".");
    }
}

void RpcArguments::refuse(std::size_t index, const std::string& expected) const {
    throw RpcFailure(rpc_error::InvalidParams, "Argumento " + std::to_string(index + 1) + " de " +
                                                   method_ + " inválido: esperado " + expected +
                                                   ".");
}

std::string RpcArguments::text(std::size_t index) const {
    const JsonValue value = params_[index];
    if (value.is_null()) {
        return {};
    }
    std::string_view text;
    if (value.get(text) != simdjson::SUCCESS) {
        refuse(index, "texto");
    }
    return std::string(text);
}

std::optional<std::string> RpcArguments::optionalText(std::size_t index) const {
    if (params_[index].is_null()) {
        return std::nullopt;
    }
    return text(index);
}

bool RpcArguments::boolean(std::size_t index) const {
    bool value = false;
    if (params_[index].get(value) != simdjson::SUCCESS) {
        refuse(index, "verdadeiro ou falso");
    }
    return value;
}

DateTime RpcArguments::dateTime(std::size_t index) const {
    std::string_view text;
    if (params_[index].get(text) == simdjson::SUCCESS) {
        if (const auto when = json_codec::parseIsoDateTime(text)) {
            return *when;
        }
    }
    refuse(index, "data no formato aaaa-mm-ddTHH:MM:SS");
}

std::optional<DateTime> RpcArguments::optionalDateTime(std::size_t index) const {
    if (params_[index].is_null()) {
        return std::nullopt;
    }
    return dateTime(index);
}

std::int64_t RpcArguments::integer(std::size_t index) const {
    std::int64_t number = 0;
    if (params_[index].get(number) != simdjson::SUCCESS) {  // also refuses one above 2^63 - 1
        refuse(index, "número inteiro");
    }
    return number;
}

DataPacket RpcArguments::packet(std::size_t index) const {
    try {
        return json_codec::decodePacket(params_[index]);
    } catch (const WireFormatError& error) {
        throw RpcFailure(rpc_error::InvalidParams, "Argumento " + std::to_string(index + 1) +
                                                       " de " + method_ + " inválido. " +
                                                       error.what());
    }
}

}  // namespace lembrete
