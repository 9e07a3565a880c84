#include "shell/net_connection.h"

#include <stdexcept>

#include "shell/host_services.h"

namespace lembrete {

TNetConnection::TNetConnection(TForm* owner, std::string name, HostServices& host)
    : Component(owner, std::move(name)), services_(host) {}

TNetConnection::~TNetConnection() = default;

void TNetConnection::SetConnected(bool connected) {
    if (connected) {
        GetAppServer();
    } else if (appServer_ != nullptr) {
        appServer_.reset();
        changed(Property::Data);
    }
}

AppServer& TNetConnection::GetAppServer() {
    if (appServer_ != nullptr) {
        return *appServer_;
    }
    // Inside an event an abandon in BeforeConnect passes straight through to the outer
    // boundary; called outside any event, it is caught here and raised again, so that in
    // both cases nothing is opened.
    if (!EventBoundary::run([this] { BeforeConnect.fire(); })) {
        throw Abandon();
    }
    appServer_ = services_.CreateAppServer(host_, port_, serverName_);
    if (appServer_ == nullptr) {
        throw std::logic_error(Name() + ": o cliente não forneceu transporte para " + host_);
    }
    changed(Property::Data);
    return *appServer_;
}

}  // namespace lembrete
