// ClientSession: who is logged in where: the server's address and port, the operator code and
// the session token the server issued at login. A plain value; the client keeps one for its life.
#pragma once

#include <string>

namespace lembrete {

struct ClientSession {
    std::string host = "127.0.0.1";
    int port = 8300;
    std::string operatorCode;
    std::string token;
};

}  // namespace lembrete
