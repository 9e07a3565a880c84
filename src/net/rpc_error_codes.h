// Stable error codes of the JSON-RPC interface of "lmb00300.rdmLembrete".
//
// One list for both ends: the server puts these in the "code" of a JSON-RPC error, the client
// transport uses the transport codes for failures that never reached the server. Programs and
// tests may rely on them; a code keeps its meaning for good (add new ones, never renumber).
#pragma once

namespace lembrete::rpc_error {

// JSON-RPC 2.0 protocol errors.
inline constexpr int ParseError = -32700;      // the body is not valid JSON
inline constexpr int InvalidRequest = -32600;  // valid JSON, but not a JSON-RPC 2.0 request
inline constexpr int MethodNotFound = -32601;  // no method of that name (letter case ignored)
inline constexpr int InvalidParams = -32602;   // wrong argument count or argument types
inline constexpr int InternalError = -32603;   // unexpected failure on the server

// Application errors.
inline constexpr int NotAuthenticated = 1001;  // no token, unknown token or expired session
inline constexpr int LoginRefused = 1002;      // wrong operator or password
inline constexpr int OtherOperator = 1003;     // argument or delta row of another operator
inline constexpr int InvalidValue = 1004;      // over-wide text, invalid code, malformed delta
inline constexpr int Conflict = 1005;          // row changed or deleted by someone else meanwhile
inline constexpr int ExistingKey = 1006;       // insert of a key that is already stored
inline constexpr int NumberNotIssued = 1007;   // insert with a number the server never issued
inline constexpr int RequestTooLarge = 1008;   // body over the server's size limit
inline constexpr int StoreFailure = 1009;      // the database failed; nothing was written

// Transport errors, raised by the client side only.
inline constexpr int ServerUnreachable = 2001;  // no connection, or it broke before the answer
inline constexpr int BadResponse = 2002;        // the answer is not a JSON-RPC response
inline constexpr int InvalidArgument = 2003;    // an argument that cannot be sent (e.g. bad UTF-8)

}  // namespace lembrete::rpc_error
