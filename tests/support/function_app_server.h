// FunctionAppServer: an in-process server object for tests; every call is answered by the
// test's function (method name, arguments) -> result.
#pragma once

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "data/app_server.h"

namespace lembrete::testing {

class FunctionAppServer : public AppServer {
  public:
    using Handler =
        std::function<ServerResult(std::string_view method, const std::vector<Variant>& args)>;

    explicit FunctionAppServer(Handler handler) : handler_(std::move(handler)) {}
    ServerResult call(std::string_view method, const std::vector<Variant>& args) override {
        return handler_(method, args);
    }

  private:
    Handler handler_;
};

}  // namespace lembrete::testing
