#include "server/rpc_route.h"

#include <algorithm>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/rpc_dispatcher.h"

namespace lembrete {
namespace {

constexpr const char* kJson = RpcDispatcher::kContentType;

// At least the number of values in the body: every value but the first follows one of these.
std::size_t valueCount(std::string_view body) {
    return 1 + static_cast<std::size_t>(std::count_if(body.begin(), body.end(), [](char c) {
               return c == ',' || c == ':' || c == '[' || c == '{';
           }));
}

}  // namespace

std::size_t jsonWorkEstimate(std::string_view body) {
    // A number takes two tape entries (16 bytes) and four of index; a decoded value about 40.
    constexpr std::size_t kBytesPerValue = 64;
    return 2 * body.size() + kBytesPerValue * valueCount(body);
}

HttpRoute rpcRoute(RpcDispatcher& dispatcher) {
    return {"POST", JsonRpcAppServer::kPath,
            [&dispatcher](const HttpRequest& request) {
                if (valueCount(request.body) > kMaxJsonValues) {
                    return HttpReply{
                        413,
                        kJson,
                        RpcDispatcher::errorResponse(
                            rpc_error::RequestTooLarge,
                            "Requisição com valores demais: o limite é de " +
                                std::to_string(kMaxJsonValues) + " valores. Nada foi gravado."),
                        {}};
                }
                auto reply = dispatcher.handle(request.body, request.authorization,
                                               std::string(request.clientAddress), request.sink);
                return HttpReply{
                    reply.httpStatus, reply.body.empty() ? "" : kJson, std::move(reply.body), {}};
            },
            jsonWorkEstimate};
}

}  // namespace lembrete
