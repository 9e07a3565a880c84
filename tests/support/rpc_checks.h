// Helpers for suites that call a real lembrete-server through the client's JsonRpcAppServer.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/json_rpc_app_server.h"

namespace lembrete::testing {

// A connection to the server on `port`, logged in (a failed expectation when refused).
inline std::unique_ptr<JsonRpcAppServer> loggedInClient(int port, const std::string& operatorCode,
                                                        const std::string& password) {
    auto connection = std::make_unique<JsonRpcAppServer>("127.0.0.1", port);
    const auto login = connection->Login(operatorCode, password);
    EXPECT_TRUE(login.ok()) << (login.ok() ? "" : login.error->message);
    return connection;
}

// The payload of a call expected to succeed (a failed expectation otherwise).
inline Variant okPayload(const ServerResult& result) {
    EXPECT_TRUE(result.ok()) << result.error->code << " " << result.error->message;
    return result.payload;
}

// The error code of a failed call; 0 when it succeeded.
inline int errorCode(const ServerResult& result) {
    return result.ok() ? 0 : result.error->code;
}

}  // namespace lembrete::testing
