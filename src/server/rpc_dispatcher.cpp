#include "server/rpc_dispatcher.h"

#include <soci/soci.h>

#include <iostream>
#include <optional>
#include <vector>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/reminder_service.h"
#include "server/reply_sink.h"
#include "server/rpc_failure.h"

namespace lembrete {
namespace {

Json errorObject(const Json& id, int code, const std::string& message) {
    return Json{
        {"jsonrpc", "2.0"}, {"error", Json{{"code", code}, {"message", message}}}, {"id", id}};
}

// Longer string ids are refused rather than copied into the reply.
constexpr std::size_t kMaxIdBytes = 256;
// No method takes more; a longer list is refused before anything of it is copied.
constexpr std::size_t kMaxParams = 16;

// The id as it came, to be written back in the reply; nullopt when it is not a valid id (a
// string of at most kMaxIdBytes, a number or null), which is answered with a null id.
std::optional<Json> validId(JsonValue value) {
    switch (value.type()) {
        case simdjson::dom::element_type::STRING: {
            const std::string_view text = value.get_string().value_unsafe();
            return text.size() <= kMaxIdBytes ? std::optional<Json>(std::string(text))
                                              : std::nullopt;
        }
        case simdjson::dom::element_type::INT64:
            return Json(value.get_int64().value_unsafe());
        case simdjson::dom::element_type::UINT64:
            return Json(value.get_uint64().value_unsafe());
        case simdjson::dom::element_type::DOUBLE:
            return Json(value.get_double().value_unsafe());
        case simdjson::dom::element_type::NULL_VALUE:
            return Json(nullptr);
        default:
            return std::nullopt;
    }
}

// A result written as it is read, inside the response envelope: the envelope's head goes first.
class EnvelopeSink : public ResultSink {
  public:
    explicit EnvelopeSink(ReplySink& reply) : reply_(reply) {}
    void write(std::string_view piece) override {
        if (!reply_.begun()) {
            reply_.begin(RpcDispatcher::kContentType);
            reply_.write("{\"jsonrpc\":\"2.0\",\"result\":");
        }
        reply_.write(piece);
    }
    bool begun() const { return reply_.begun(); }

  private:
    ReplySink& reply_;
};

// The database's own text of a failure (English, several lines at times) as one quoted field
// of the log line, set apart from the server's Portuguese.
std::string databaseDetail(std::string_view text) {
    std::string field = "detalhe do banco: \"";
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            field += ' ';
        } else {
            field += c == '"' ? '\'' : c;
        }
    }
    while (field.ends_with(' ')) {
        field.pop_back();
    }
    return field + "\"";
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

RpcReply RpcDispatcher::handle(std::string_view body, std::string_view authorization,
                               const std::string& clientAddress, ReplySink* sink) {
    // One parser per request: a long delta's buffers are given back as soon as it is read.
    simdjson::dom::parser parser;
    JsonValue request;
    if (parser.parse(body.data(), body.size()).get(request) != simdjson::SUCCESS) {
        return {200, errorResponse(rpc_error::ParseError,
                                   "Requisição inválida: o corpo não é um JSON válido.")};
    }
    simdjson::dom::object object;
    const bool isObject = request.get(object) == simdjson::SUCCESS;
    JsonValue id;
    const bool hasId = isObject && object["id"].get(id) == simdjson::SUCCESS;
    const std::optional<Json> validIdValue = hasId ? validId(id) : Json(nullptr);
    const Json idValue = validIdValue.value_or(Json(nullptr));
    std::string_view version;
    std::string_view method;
    if (!isObject || object["jsonrpc"].get(version) != simdjson::SUCCESS || version != "2.0" ||
        object["method"].get(method) != simdjson::SUCCESS || !validIdValue) {
        return {200, errorObject(idValue, rpc_error::InvalidRequest,
                                 "Requisição inválida: não é uma chamada JSON-RPC 2.0.")
                         .dump()};
    }
    JsonValue paramsValue;
    const bool hasParams = object["params"].get(paramsValue) == simdjson::SUCCESS;
    std::string response;
    std::optional<EnvelopeSink> envelope;
    if (sink != nullptr && hasId) {
        envelope.emplace(*sink);
    }
    // Once a streamed result has begun, a failure can only break the reply off.
    const auto streaming = [&] { return envelope && envelope->begun(); };
    try {
        std::vector<JsonValue> params;
        if (hasParams) {
            simdjson::dom::array list;
            if (paramsValue.get(list) != simdjson::SUCCESS) {
                throw RpcFailure(rpc_error::InvalidParams,
                                 "Argumentos inválidos: \"params\" deve ser uma lista de "
                                 "argumentos posicionais.");
            }
            if (list.size() > kMaxParams) {
                throw RpcFailure(rpc_error::InvalidParams,
                                 "Argumentos demais: nenhum método recebe mais de " +
                                     std::to_string(kMaxParams) + ".");
            }
            params.assign(list.begin(), list.end());
        }
        const std::string result = service_.call(method, params, bearerToken(authorization),
                                                 clientAddress, envelope ? &*envelope : nullptr);
        // Results can be large packets, already JSON text: the envelope is written around them.
        response = (streaming() ? "" : "{\"jsonrpc\":\"2.0\",\"result\":") + result +
                   ",\"id\":" + idValue.dump() + "}";
    } catch (const RpcFailure& failure) {
        if (streaming()) {
            throw;
        }
        response = errorObject(idValue, failure.code(), failure.what())
                       .dump(-1, ' ', false, Json::error_handler_t::replace);
    } catch (const soci::soci_error& error) {
        std::cerr << "lembrete-server: erro no banco de dados em " << method
                  << "; nada foi gravado (" << databaseDetail(error.what()) << ")\n";
        if (streaming()) {
            throw;
        }
        response = errorObject(idValue, rpc_error::StoreFailure,
                               "Falha no banco de dados do servidor; nenhuma alteração foi "
                               "gravada. Tente novamente.")
                       .dump();
    } catch (const ClientGone&) {
        throw;
    } catch (const std::exception& error) {
        std::cerr << "lembrete-server: erro interno: " << error.what() << '\n';
        if (streaming()) {
            throw;
        }
        response =
            errorObject(idValue, rpc_error::InternalError, "Erro interno do servidor.").dump();
    }
    if (!hasId) {
        return {204, {}};
    }
    return {200, std::move(response)};
}

}  // namespace lembrete
