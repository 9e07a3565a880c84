#include "qt/host/server_login.h"

#include "data/reminder_record.h"
#include "net/json_rpc_app_server.h"

namespace lembrete {

std::variant<ClientSession, LoginRefusal> logIn(const std::string& host, int port,
                                                const std::string& operatorCode,
                                                const std::string& password) {
    JsonRpcAppServer server(host, port);
    const ServerResult result = server.Login(operatorCode, password);
    if (!result.ok()) {
        return LoginRefusal{result.error->message};
    }
    return ClientSession{host, port, ReminderRecord::operatorCode(operatorCode), server.token()};
}

void logOut(const ClientSession& session) {
    JsonRpcAppServer server(session.host, session.port);
    server.setToken(session.token);
    server.call("Logout", {});
}

}  // namespace lembrete
