#include "net/json_rpc_app_server.h"

#include <httplib.h>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "net/variant_reader.h"
#include "net/wire_format_error.h"

namespace lembrete {
namespace {

constexpr time_t kConnectTimeoutSeconds = 5;
// A long series is applied in one transaction on the server; give it room.
constexpr time_t kReadTimeoutSeconds = 120;

// Reads a JSON-RPC response as it is parsed: the members of the envelope here, the result
// through a VariantReader, so a packet of many rows never becomes a document.
class ResponseReader : public nlohmann::json_sax<Json> {
  public:
    bool null() override {
        return inResult_ ? forward([&] { return result_.null(); }) : member(Json());
    }
    bool boolean(bool value) override {
        return inResult_ ? forward([&] { return result_.boolean(value); }) : member(Json(value));
    }
    bool number_integer(number_integer_t value) override {
        return inResult_ ? forward([&] { return result_.number_integer(value); })
                         : member(Json(value));
    }
    bool number_unsigned(number_unsigned_t value) override {
        return inResult_ ? forward([&] { return result_.number_unsigned(value); })
                         : member(Json(value));
    }
    bool number_float(number_float_t value, const string_t& text) override {
        return inResult_ ? forward([&] { return result_.number_float(value, text); })
                         : member(Json(value));
    }
    bool string(string_t& value) override {
        return inResult_ ? forward([&] { return result_.string(value); }) : member(Json(value));
    }
    bool binary(binary_t& value) override {
        return inResult_ ? forward([&] { return result_.binary(value); }) : member(Json());
    }

    bool start_object(std::size_t size) override {
        if (inResult_) {
            return forward([&] { return result_.start_object(size); });
        }
        if (skipDepth_ == 0 && depth_ == 0) {
            depth_ = 1;
        } else if (skipDepth_ == 0 && depth_ == 1 && key_ == "error") {
            depth_ = 2;
        } else {
            ++skipDepth_;  // the id, members nobody reads
        }
        return true;
    }
    bool end_object() override {
        if (inResult_) {
            return forward([&] { return result_.end_object(); });
        }
        if (skipDepth_ > 0) {
            --skipDepth_;
        } else if (depth_ == 2) {
            hasError_ = true;
            depth_ = 1;
        } else {
            depth_ = 0;
        }
        return true;
    }
    bool start_array(std::size_t size) override {
        if (inResult_) {
            return forward([&] { return result_.start_array(size); });
        }
        ++skipDepth_;
        return depth_ > 0;
    }
    bool end_array() override {
        if (inResult_) {
            return forward([&] { return result_.end_array(); });
        }
        --skipDepth_;
        return true;
    }
    bool key(string_t& name) override {
        if (inResult_) {
            return result_.key(name);
        }
        if (skipDepth_ == 0) {
            key_ = std::move(name);
            inResult_ = depth_ == 1 && key_ == "result";
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

    // The outcome; nullopt when the text is not a JSON-RPC 2.0 response.
    std::optional<ServerResult> take() {
        if (version_ != "2.0") {
            return std::nullopt;
        }
        if (hasError_) {
            return code_ && message_ ? std::optional(ServerResult::failure(*code_, *message_))
                                     : std::nullopt;
        }
        return hasResult_ ? std::optional(ServerResult::success(result_.take())) : std::nullopt;
    }

  private:
    template <typename Event>
    bool forward(Event event) {
        const bool ok = event();
        if (result_.done()) {
            inResult_ = false;
            hasResult_ = true;
        }
        return ok;
    }

    // A scalar member of the envelope or of its error object.
    bool member(const Json& value) {
        if (skipDepth_ == 0 && depth_ == 1 && key_ == "jsonrpc" && value.is_string()) {
            version_ = value.get<std::string>();
        } else if (skipDepth_ == 0 && depth_ == 2 && key_ == "code" && value.is_number_integer()) {
            code_ = value.get<int>();
        } else if (skipDepth_ == 0 && depth_ == 2 && key_ == "message" && value.is_string()) {
            message_ = value.get<std::string>();
        }
        return depth_ > 0;
    }

    int depth_ = 0;
    int skipDepth_ = 0;
    std::string key_;
    std::string version_;
    bool inResult_ = false;
    bool hasResult_ = false;
    VariantReader result_;
    bool hasError_ = false;
    std::optional<int> code_;
    std::optional<std::string> message_;
};

ServerResult decodeResponse(const httplib::Result& response) {
    ResponseReader reader;
    try {
        if (Json::sax_parse(response->body, &reader)) {
            if (auto result = reader.take()) {
                return std::move(*result);
            }
        }
    } catch (const WireFormatError& error) {
        return ServerResult::failure(rpc_error::BadResponse, error.what());
    }
    return ServerResult::failure(
        rpc_error::BadResponse,
        "Resposta inválida do servidor (HTTP " + std::to_string(response->status) + ").");
}

}  // namespace

JsonRpcAppServer::JsonRpcAppServer(std::string host, int port)
    : host_(std::move(host)), port_(port) {}

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
        client_ = std::make_unique<httplib::Client>(host_, port_);
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
        return ServerResult::failure(rpc_error::ServerUnreachable, unreachableMessage());
    }
    return decodeResponse(response);
}

std::string JsonRpcAppServer::unreachableMessage() const {
    return "Servidor inacessível em " + host_ + ":" + std::to_string(port_) +
           ". Verifique se o servidor de lembretes está em execução e tente novamente.";
}

}  // namespace lembrete
