// JsonRpcAppServer: the AppServer of the desktop client, reaching "lmb00300.rdmLembrete" over
// JSON-RPC 2.0 on HTTP/1.1 (POST /rpc/lmb00300.rdmLembrete, keep-alive).
//
// One keep-alive connection, opened on the first call and opened again when the server has
// closed it (a restart, an idle timeout). Arguments travel as a positional "params" array (see
// json_codec.h for values). After Login the session token goes with every call as
// "Authorization: Bearer TOKEN". A call never throws: a connection failure is the failure
// rpc_error::ServerUnreachable with a Portuguese message, a JSON-RPC error comes back with the
// server's code and message. Calls are serialised by a mutex; one object per connection.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "data/app_server.h"
#include "net/transport_security.h"

namespace httplib {
class Client;
class Result;
}  // namespace httplib
namespace simdjson::dom {
class parser;
}

namespace lembrete {

class JsonRpcAppServer : public AppServer {
  public:
    static constexpr const char* kPath = "/rpc/lmb00300.rdmLembrete";

    JsonRpcAppServer(std::string host, int port, TransportSecurity security = {});
    ~JsonRpcAppServer() override;

    ServerResult call(std::string_view method, const std::vector<Variant>& args) override;

    // Calls Login(operator, password); on success keeps the token for the following calls and
    // returns it as the payload (text).
    ServerResult Login(const std::string& operatorCode, const std::string& password);

    // The session token sent with every call (empty: none). Lets a second connection reuse
    // the session of a login made elsewhere.
    std::string token() const;
    void setToken(std::string token);

    const std::string& host() const { return host_; }
    int port() const { return port_; }
    const TransportSecurity& security() const { return security_; }

  private:
    ServerResult post(const std::string& body);
    std::string unreachableMessage() const;
    std::string refusalMessage(const httplib::Result& response) const;

    std::string host_;
    int port_;
    TransportSecurity security_;
    mutable std::mutex mutex_;
    std::string token_;
    std::int64_t nextId_ = 1;
    std::unique_ptr<httplib::Client> client_;
    // Kept between calls: its buffers grow to the largest answer once, not on every call.
    std::unique_ptr<simdjson::dom::parser> parser_;
};

}  // namespace lembrete
