#include "server/rpc_dispatcher.h"

#include <soci/soci.h>

#include <iostream>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/reminder_service.h"
#include "server/rpc_failure.h"

namespace lembrete {
namespace {

Json errorObject(const Json& id, int code, const std::string& message) {
    return Json{
        {"jsonrpc", "2.0"}, {"error", Json{{"code", code}, {"message", message}}}, {"id", id}};
}

std::string bearerToken(std::string_view authorization) {
    constexpr std::string_view prefix = "Bearer ";
    return authorization.starts_with(prefix) ? std::string(authorization.substr(prefix.size()))
                                             : std::string();
}

}  // namespace

std::string RpcDispatcher::errorResponse(int code, const std::string& message) {
    return errorObject(nullptr, code, message).dump();
}

RpcReply RpcDispatcher::handle(std::string_view body, std::string_view authorization) {
    const Json request = Json::parse(body, nullptr, false);
    if (request.is_discarded()) {
        return {200, errorResponse(rpc_error::ParseError,
                                   "Requisição inválida: o corpo não é um JSON válido.")};
    }
    const auto id = request.is_object() ? request.find("id") : request.end();
    const bool hasId = request.is_object() && id != request.end();
    const Json idValue = hasId ? *id : Json(nullptr);
    const auto method = request.is_object() ? request.find("method") : request.end();
    const auto params = request.is_object() ? request.find("params") : request.end();
    if (!request.is_object() || request.value("jsonrpc", "") != "2.0" || method == request.end() ||
        !method->is_string() || (hasId && !id->is_string() && !id->is_number() && !id->is_null())) {
        return {200, errorObject(idValue, rpc_error::InvalidRequest,
                                 "Requisição inválida: não é uma chamada JSON-RPC 2.0.")
                         .dump()};
    }
    std::string response;
    try {
        if (params != request.end() && !params->is_array()) {
            throw RpcFailure(
                rpc_error::InvalidParams,
                "Argumentos inválidos: \"params\" deve ser uma lista de argumentos posicionais.");
        }
        const Json noParams = Json::array();
        const std::string result =
            service_.call(method->get_ref<const std::string&>(),
                          params != request.end() ? *params : noParams, bearerToken(authorization));
        // Results can be large packets, already JSON text: the envelope is written around them.
        response = "{\"jsonrpc\":\"2.0\",\"result\":" + result + ",\"id\":" + idValue.dump() + "}";
    } catch (const RpcFailure& failure) {
        response = errorObject(idValue, failure.code(), failure.what())
                       .dump(-1, ' ', false, Json::error_handler_t::replace);
    } catch (const soci::soci_error& error) {
        std::cerr << "lembrete-server: erro no banco de dados: " << error.what() << '\n';
        response = errorObject(idValue, rpc_error::StoreFailure,
                               "Falha no banco de dados do servidor; nenhuma alteração foi "
                               "gravada. Tente novamente.")
                       .dump();
    } catch (const std::exception& error) {
        std::cerr << "lembrete-server: erro interno: " << error.what() << '\n';
        response =
            errorObject(idValue, rpc_error::InternalError, "Erro interno do servidor.").dump();
    }
    if (!hasId) {
        return {204, {}};
    }
    return {200, std::move(response)};
}

}  // namespace lembrete
