// ClientSession: who is logged in where: the server's address and port, the operator code and
// the session token the server issued at login, and how the connection is secured. A plain value;
// the client keeps one for its life.
#pragma once

#include <string>

#include "net/transport_security.h"

namespace lembrete {

struct ClientSession {
    std::string host = "127.0.0.1";
    int port = 8300;
    std::string operatorCode;
    std::string token;
    TransportSecurity security;
};

}  // namespace lembrete
