// TNetConnection: the form's connection to the application server (netLembrete).
//
// Host, Port and ServerName say where to connect; reading AppServer opens the connection on
// first use: BeforeConnect fires first (the agenda sets Host and Port there from the host's
// WebURL / WebPort), then the host's transport factory builds the transport, which the
// connection owns until it is closed. An abandon raised in BeforeConnect opens nothing.
#pragma once

#include <memory>
#include <string>

#include "data/app_server.h"
#include "toolkit/component.h"

namespace lembrete {

class HostServices;

class TNetConnection : public Component {
  public:
    static constexpr int kDefaultPort = 8300;

    TNetConnection(TForm* owner, std::string name, HostServices& host);
    ~TNetConnection() override;

    const std::string& Host() const { return host_; }
    void SetHost(std::string host) { host_ = std::move(host); }
    int Port() const { return port_; }
    void SetPort(int port) { port_ = port; }
    const std::string& ServerName() const { return serverName_; }
    void SetServerName(std::string serverName) { serverName_ = std::move(serverName); }
    bool ThrowException() const { return throwException_; }
    void SetThrowException(bool on) { throwException_ = on; }

    bool Connected() const { return appServer_ != nullptr; }
    // true opens (as AppServer does), false drops the transport.
    void SetConnected(bool connected);

    Event<> BeforeConnect;

    // The server object, connecting first when needed.
    AppServer& GetAppServer();

  private:
    HostServices& services_;
    std::string host_ = "127.0.0.1";
    int port_ = kDefaultPort;
    std::string serverName_;
    bool throwException_ = true;
    std::unique_ptr<lembrete::AppServer> appServer_;
};

}  // namespace lembrete
