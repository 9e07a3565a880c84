#include "net/json_rpc_app_server.h"

#include <httplib.h>
#include <openssl/x509_vfy.h>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "net/wire_format_error.h"

namespace lembrete {
namespace {

constexpr time_t kConnectTimeoutSeconds = 5;
// A long series is applied in one transaction on the server; give it room.
constexpr time_t kReadTimeoutSeconds = 120;

// The outcome of a JSON-RPC 2.0 response; nullopt when the value is not one.
std::optional<ServerResult> readResponse(JsonValue response) {
    simdjson::dom::object envelope;
    std::string_view version;
    if (response.get(envelope) != simdjson::SUCCESS ||
        envelope["jsonrpc"].get(version) != simdjson::SUCCESS || version != "2.0") {
        return std::nullopt;
    }
    if (simdjson::dom::object error; envelope["error"].get(error) == simdjson::SUCCESS) {
        std::int64_t code = 0;
        std::string_view message;
        if (error["code"].get(code) != simdjson::SUCCESS ||
            error["message"].get(message) != simdjson::SUCCESS) {
            return std::nullopt;
        }
        return ServerResult::failure(static_cast<int>(code), std::string(message));
    }
    JsonValue result;
    if (envelope["result"].get(result) != simdjson::SUCCESS) {
        return std::nullopt;
    }
    return ServerResult::success(json_codec::decodeVariant(result));
}

ServerResult decodeResponse(simdjson::dom::parser& parser, const httplib::Result& response) {
    JsonValue document;
    // The body is copied once into padded memory; the parse checks it is UTF-8 throughout.
    if (parser.parse(response->body).get(document) == simdjson::SUCCESS) {
        try {
            if (auto result = readResponse(document)) {
                return std::move(*result);
            }
        } catch (const WireFormatError& error) {
            return ServerResult::failure(rpc_error::BadResponse, error.what());
        }
    }
    return ServerResult::failure(
        rpc_error::BadResponse,
        "Resposta inválida do servidor (HTTP " + std::to_string(response->status) + ").");
}

// Why the server's certificate was refused, as OpenSSL's verification found it.
std::string certificateRefusal(long verifyResult, const std::string& host) {
    const std::string certificate = "O certificado do servidor " + host;
    switch (verifyResult) {
        case X509_V_OK:
            // The chain is trusted: what failed is the name check that follows it.
            return certificate +
                   " foi emitido para outro nome: use no campo do servidor o nome ou o endereço "
                   "que "
                   "consta do certificado.";
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return certificate + " expirou: o administrador do servidor precisa renová-lo.";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return certificate +
                   " ainda não é válido: confira a data e a hora deste computador e do servidor.";
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_CERT_UNTRUSTED:
            return certificate +
                   " não é confiável: não foi emitido por uma autoridade que este computador "
                   "reconhece. Se o servidor usa um certificado próprio, inicie o cliente com "
                   "--ca ARQUIVO (o certificado do servidor).";
        default:
            return certificate + " foi recusado (erro " + std::to_string(verifyResult) +
                   " na verificação).";
    }
}

}  // namespace

JsonRpcAppServer::JsonRpcAppServer(std::string host, int port, TransportSecurity security)
    : port_(port),
      security_(std::move(security)),
      parser_(std::make_unique<simdjson::dom::parser>()) {
    const SchemeSplit address = splitScheme(host);
    host_ = address.host;
    security_.tls = address.tls.value_or(security_.tls);
}

JsonRpcAppServer::~JsonRpcAppServer() = default;

std::string JsonRpcAppServer::token() const {
    std::lock_guard lock(mutex_);
    return token_;
}

void JsonRpcAppServer::setToken(std::string token) {
    std::lock_guard lock(mutex_);
    token_ = std::move(token);
}

ServerResult JsonRpcAppServer::Login(const std::string& operatorCode, const std::string& password) {
    auto result = call("Login", {Variant(operatorCode), Variant(password)});
    if (result.ok() && result.payload.kind() == VariantKind::String) {
        setToken(result.payload.asString());
    } else if (result.ok()) {
        return ServerResult::failure(rpc_error::BadResponse,
                                     "Resposta inválida do servidor ao Login.");
    }
    return result;
}

ServerResult JsonRpcAppServer::call(std::string_view method, const std::vector<Variant>& args) {
    std::string body;
    try {
        body = "{\"jsonrpc\":\"2.0\",\"method\":" + Json(method).dump() + ",\"params\":[";
        for (std::size_t i = 0; i < args.size(); ++i) {
            body += (i > 0 ? "," : "") + json_codec::encodeVariant(args[i]);
        }
        std::lock_guard lock(mutex_);
        body += "],\"id\":" + std::to_string(nextId_++) + "}";
    } catch (const std::exception& error) {
        // Text that is not UTF-8, a value of the wrong kind for its field ...
        return ServerResult::failure(
            rpc_error::InvalidArgument,
            "Argumento inválido para " + std::string(method) + ": " + error.what());
    }
    return post(body);
}

ServerResult JsonRpcAppServer::post(const std::string& body) {
    std::lock_guard lock(mutex_);
    if (!client_) {
        const bool bare = host_.find(':') == std::string::npos;  // else an IPv6 address
        client_ = std::make_unique<httplib::Client>((security_.tls ? "https://" : "http://") +
                                                    (bare ? host_ : "[" + host_ + "]") + ":" +
                                                    std::to_string(port_));
        if (security_.tls) {
            client_->enable_server_certificate_verification(true);
            if (!security_.caFile.empty()) {
                client_->set_ca_cert_path(security_.caFile);
            }
        }
        client_->set_keep_alive(true);
        // Headers and body leave in separate writes; without this the body waits for an ACK.
        client_->set_tcp_nodelay(true);
        client_->set_connection_timeout(kConnectTimeoutSeconds);
        client_->set_read_timeout(kReadTimeoutSeconds);
        client_->set_write_timeout(kReadTimeoutSeconds);
    }
    httplib::Headers headers;
    if (!token_.empty()) {
        headers.emplace("Authorization", "Bearer " + token_);
    }
    auto response = client_->Post(kPath, headers, body, "application/json");
    if (!response) {
        // The next call connects again from scratch.
        client_->stop();
        return ServerResult::failure(rpc_error::ServerUnreachable, refusalMessage(response));
    }
    return decodeResponse(*parser_, response);
}

std::string JsonRpcAppServer::refusalMessage(const httplib::Result& response) const {
    switch (response.error()) {
        case httplib::Error::SSLConnection:
            return "Não foi possível estabelecer uma conexão segura (TLS) com " + host_ + ":" +
                   std::to_string(port_) +
                   ": o servidor provavelmente não usa TLS. Desmarque \"Conexão segura (TLS)\" ou "
                   "confira o endereço.";
        case httplib::Error::SSLServerVerification:
            return certificateRefusal(client_->get_openssl_verify_result(), host_);
        case httplib::Error::SSLLoadingCerts:
            return "Não foi possível ler os certificados confiáveis" +
                   (security_.caFile.empty() ? std::string(" do sistema")
                                             : " de " + security_.caFile) +
                   ": confira o arquivo e tente novamente.";
        default:
            return unreachableMessage();
    }
}

std::string JsonRpcAppServer::unreachableMessage() const {
    return "Servidor inacessível em " + host_ + ":" + std::to_string(port_) +
           ". Verifique se o servidor de lembretes está em execução e tente novamente.";
}

}  // namespace lembrete
