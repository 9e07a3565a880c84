// RecordingAppServer: passes every call on to another server object and writes it into a log
// as "GetAFazer(abc,OPERADOR,16/07/2007,False,True,False)" — arguments as display text, a
// data packet as "<packet: N rows, M changes>" — so a test sees the server calls in order
// with the host's other calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/app_server.h"

namespace lembrete::testing {

class RecordingAppServer : public AppServer {
  public:
    // `log` must outlive this object.
    RecordingAppServer(std::unique_ptr<AppServer> inner, std::vector<std::string>& log)
        : inner_(std::move(inner)), log_(log) {}
    ServerResult call(std::string_view method, const std::vector<Variant>& args) override;

    // The log form of one call.
    static std::string describe(std::string_view method, const std::vector<Variant>& args);

  private:
    std::unique_ptr<AppServer> inner_;
    std::vector<std::string>& log_;
};

}  // namespace lembrete::testing
