#include "qt/host/server_login.h"

#include "data/reminder_record.h"
#include "net/json_rpc_app_server.h"

namespace lembrete {

std::variant<ClientSession, LoginRefusal> logIn(const std::string& host, int port,
                                                const std::string& operatorCode,
                                                const std::string& password,
                                                const TransportSecurity& security) {
    JsonRpcAppServer server(host, port, security);
    const ServerResult result = server.Login(operatorCode, password);
    if (!result.ok()) {
        return LoginRefusal{result.error->message};
    }
    return ClientSession{server.host(), port, ReminderRecord::operatorCode(operatorCode),
                         server.token(), server.security()};
}

void logOut(const ClientSession& session) {
    JsonRpcAppServer server(session.host, session.port, session.security);
    server.setToken(session.token);
    server.call("Logout", {});
}

}  // namespace lembrete
