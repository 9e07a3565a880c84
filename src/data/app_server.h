// AppServer: the late-bound handle to the server object "lmb00300.rdmLembrete".
//
// Methods are called by name with positional arguments. A call never throws for a failure
// on the server or on the way to it: the failure comes back in the ServerResult, and the
// host's CheckResultServ reports it and abandons the operation. Implementations: the JSON-RPC
// transport (net/) and, for tests, anything that answers the same methods.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/variant.h"

namespace lembrete {

struct ServerError {
    int code = 0;
    std::string message;  // Portuguese, for the user
};

struct ServerResult {
    Variant payload;
    std::optional<ServerError> error;
    bool ok() const { return !error.has_value(); }

    static ServerResult success(Variant payload) { return {std::move(payload), std::nullopt}; }
    static ServerResult failure(int code, std::string message) {
        return {Variant(), ServerError{code, std::move(message)}};
    }
};

class AppServer {
  public:
    virtual ~AppServer() = default;
    virtual ServerResult call(std::string_view method, const std::vector<Variant>& args) = 0;
};

}  // namespace lembrete
