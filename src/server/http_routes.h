// HttpRoutes: which handler answers which request of the server's HTTP side.
//
// A route is a method and a path; a path ending in "/" also takes every path below it (a feed
// under "/calendario/" gets "/calendario/TOKEN.ics" as its target). Handlers run on the
// front end's worker threads, any number at once, and must not throw: they answer failures
// with an error reply of their own. A request no route takes gets 404 (or 405 when only the
// method is wrong).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lembrete {

class ReplySink;

struct HttpRequest {
    std::string_view method;  // "GET", "POST" ...
    std::string_view target;  // the path, with its query if any
    std::string_view authorization;
    std::string_view body;
    // The value of a header by name (letter case ignored); empty when absent.
    std::function<std::string_view(std::string_view name)> header;
    std::string_view clientAddress;  // the peer's IP address; empty when unknown
    ReplySink* sink = nullptr;       // for a reply written in pieces (reply_sink.h); may be null
};

struct HttpReply {
    int status = 200;
    std::string contentType;
    std::string body;                                          // none with status 204 or 304
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Type
};

struct HttpRoute {
    using Handler = std::function<HttpReply(const HttpRequest&)>;
    // The memory the handler may use for a body of this size, besides the body itself; the
    // front end holds that much back from other requests while the handler runs.
    using WorkEstimate = std::function<std::size_t(std::string_view body)>;

    std::string method;
    std::string path;
    Handler handler;
    WorkEstimate workEstimate;  // empty: as much again as the body
};

class HttpRoutes {
  public:
    void add(HttpRoute route);

    // The route for `method` and `target`; nullptr, and the status to answer, when none takes it.
    const HttpRoute* find(std::string_view method, std::string_view target, int& status) const;

  private:
    std::vector<HttpRoute> routes_;
};

}  // namespace lembrete
