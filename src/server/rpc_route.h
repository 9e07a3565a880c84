// The JSON-RPC route of the server: POST /rpc/lmb00300.rdmLembrete, answered by the
// dispatcher, with the work estimate of a JSON body.
#pragma once

#include <cstddef>
#include <string_view>

#include "server/http_routes.h"

namespace lembrete {

class RpcDispatcher;

// Bodies with more JSON values than this are refused before they are parsed: a parse costs
// memory per value, and no call of the clients comes near (a 16 MiB delta has about 2 million).
inline constexpr std::size_t kMaxJsonValues = 4u << 20;

// Bodies over kMaxJsonValues get the RequestTooLarge error; the others go to the dispatcher.
HttpRoute rpcRoute(RpcDispatcher& dispatcher);

// An upper bound of the memory a JSON body takes while its call runs, besides the body: a
// padded copy of it and, per value, its place in the parse's tape and index and its decoded
// form (a body of short numbers costs about twelve times its size in the parse alone).
std::size_t jsonWorkEstimate(std::string_view body);

}  // namespace lembrete
