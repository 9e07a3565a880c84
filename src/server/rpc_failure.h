// RpcFailure: a request the server refuses, with the stable code (net/rpc_error_codes.h) and
// the Portuguese message that go back to the client as a JSON-RPC error. Thrown anywhere while
// a request is handled; the dispatcher turns it into the error response.
#pragma once

#include <stdexcept>
#include <string>

namespace lembrete {

class RpcFailure : public std::runtime_error {
  public:
    RpcFailure(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

}  // namespace lembrete
