// GatewayHost: the host services the reminder gateway relies on.
//
// The desktop client implements them (real dialogs, a busy indicator, its table cache); tests
// implement them with a scripted host. Declared here so that the gateway stays below the shell:
// the shell's full HostServices interface extends this one.
#pragma once

#include <string>
#include <vector>

#include "data/app_server.h"

namespace lembrete {

class GatewayHost {
  public:
    virtual ~GatewayHost() = default;

    // Returns the payload of a successful result. On a failure it shows the server's message
    // (when showError is true) and abandons the current operation: it throws and never returns.
    virtual Variant CheckResultServ(const ServerResult& result, bool showError, int code) = 0;
    // Shows / removes the busy animation over the client's main window (kind 1 in the module).
    virtual void ActiveShowAvi(int kind) = 0;
    virtual void DeactiveShowAvi() = 0;
    // Tells the client that rows of these tables changed on the server.
    virtual void AtualizaLocalCache(const std::vector<std::string>& tables) = 0;
    // The code of the logged-in operator (at most 12 characters).
    virtual std::string Operador() const = 0;
};

}  // namespace lembrete
