// HttpFrontend: the HTTP/1.1 side of the server (cpp-httplib): POST /rpc/lmb00300.rdmLembrete
// with keep-alive, served by a fixed pool of worker threads; each connection is served by one
// worker while it stays open.
//
// Bodies over the size limit are refused with HTTP 413 and the RequestTooLarge error before
// anything runs. stop() may be called from any thread: the listener closes, requests in
// flight finish, and run() returns once the workers are done.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace lembrete {

class CalendarFeed;
class RpcDispatcher;

class HttpFrontend {
  public:
    static constexpr std::size_t kMaxBodyBytes = 16u << 20;

    HttpFrontend(RpcDispatcher& dispatcher, int workerThreads);
    ~HttpFrontend();

    // Also answers GET /calendario/TOKEN.ics from `feed` (which must outlive the front end).
    void serveFeed(CalendarFeed& feed);

    // Throws std::runtime_error when the address cannot be bound.
    void bind(const std::string& host, int port);
    void run();
    void stop();

  private:
    std::unique_ptr<httplib::Server> server_;
};

}  // namespace lembrete
