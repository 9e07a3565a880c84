#include "server/rpc_arguments.h"

#include "net/rpc_error_codes.h"
#include "net/wire_format_error.h"
#include "server/rpc_failure.h"

namespace lembrete {

void RpcArguments::expectCount(std::size_t count) const {
    if (params_.size() != count) {
        throw RpcFailure(rpc_error::InvalidParams, "Número de argumentos inválido para " + method_ +
                                                       ": esperados " + std::to_string(count) +
                                                       ", recebidos " +
                                                       std::to_string(params_.size()) + ".");
    }
}

void RpcArguments::refuse(std::size_t index, const std::string& expected) const {
    throw RpcFailure(rpc_error::InvalidParams, "Argumento " + std::to_string(index + 1) + " de " +
                                                   method_ + " inválido: esperado " + expected +
                                                   ".");
}

std::string RpcArguments::text(std::size_t index) const {
    const auto& value = params_[index];
    if (value.is_null()) {
        return {};
    }
    if (!value.is_string()) {
        refuse(index, "texto");
    }
    return value.get<std::string>();
}

bool RpcArguments::boolean(std::size_t index) const {
    const auto& value = params_[index];
    if (!value.is_boolean()) {
        refuse(index, "verdadeiro ou falso");
    }
    return value.get<bool>();
}

DateTime RpcArguments::dateTime(std::size_t index) const {
    const auto& value = params_[index];
    if (value.is_string()) {
        if (const auto when = json_codec::parseIsoDateTime(value.get_ref<const std::string&>())) {
            return *when;
        }
    }
    refuse(index, "data no formato aaaa-mm-ddTHH:MM:SS");
}

std::int64_t RpcArguments::integer(std::size_t index) const {
    const auto& value = params_[index];
    if (!value.is_number_integer()) {
        refuse(index, "número inteiro");
    }
    return value.get<std::int64_t>();
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
