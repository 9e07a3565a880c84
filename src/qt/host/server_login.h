// The login call of the client: Login(operator, password) on the application server.
#pragma once

#include <string>
#include <variant>

#include "qt/host/client_session.h"

namespace lembrete {

struct LoginRefusal {
    std::string message;  // Portuguese, for the user ("Servidor inacessível ...", wrong password)
};

// Logs `operatorCode` in at host:port (over TLS as `security` or the host's scheme says); the
// session on success (its code in upper case, as the server keeps it), else why it failed. Never
// throws for a failure of the server or the network.
std::variant<ClientSession, LoginRefusal> logIn(const std::string& host, int port,
                                                const std::string& operatorCode,
                                                const std::string& password,
                                                const TransportSecurity& security = {});

// Ends the session on the server; a server out of reach lets it end by its idle time.
void logOut(const ClientSession& session);

}  // namespace lembrete
