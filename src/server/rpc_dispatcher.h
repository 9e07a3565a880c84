// RpcDispatcher: one HTTP request body in, one JSON-RPC 2.0 response out.
//
// Checks the envelope (JSON, "jsonrpc":"2.0", a method name, positional params), takes the
// session token from the "Authorization: Bearer TOKEN" header, runs the method through the
// ReminderService, and turns every failure into a JSON-RPC error with a stable code and a
// Portuguese message; an unexpected failure is logged to standard error and answered with
// InternalError or StoreFailure. A request without "id" (a notification) gets no body.
//
// Given a sink, a long result is written to it as it is read (reply_sink.h) instead of being
// built whole: the reply's body is then only the end of the response.
#pragma once

#include <string>
#include <string_view>

namespace lembrete {

class ReminderService;
class ReplySink;

struct RpcReply {
    int httpStatus = 200;
    std::string body;  // empty for a notification
};

class RpcDispatcher {
  public:
    static constexpr const char* kContentType = "application/json; charset=utf-8";

    explicit RpcDispatcher(ReminderService& service) : service_(service) {}

    // `clientAddress`: the peer's address, for counting failed logins.
    RpcReply handle(std::string_view body, std::string_view authorization,
                    const std::string& clientAddress = {}, ReplySink* sink = nullptr);

    // The JSON-RPC error response for a failure outside any request (e.g. an oversized body).
    static std::string errorResponse(int code, const std::string& message);

  private:
    ReminderService& service_;
};

}  // namespace lembrete
