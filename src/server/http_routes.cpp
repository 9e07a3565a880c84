#include "server/http_routes.h"

namespace lembrete {

void HttpRoutes::add(HttpRoute route) {
    routes_.push_back(std::move(route));
}

const HttpRoute* HttpRoutes::find(std::string_view method, std::string_view target,
                                  int& status) const {
    const std::string_view path = target.substr(0, target.find('?'));
    status = 404;
    for (const auto& route : routes_) {
        const bool pathMatches =
            route.path.ends_with('/') ? path.starts_with(route.path) : path == route.path;
        if (!pathMatches) {
            continue;
        }
        if (route.method == method) {
            return &route;
        }
        status = 405;
    }
    return nullptr;
}

}  // namespace lembrete
