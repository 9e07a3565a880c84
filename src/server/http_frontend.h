// HttpFrontend: the HTTP/1.1 side of the server (Boost.Beast over Asio), plain or over TLS.
//
// Over TLS, a client that starts a connection without a TLS handshake gets one answer, a 400
// telling it to use TLS, and the connection is closed. Connections are served by two event-driven
// I/O threads, so a slow or idle connection holds no thread: any number of them never keeps new
// clients waiting. Requests on one connection are answered one at a time, in order (pipelined
// requests included); each complete request runs on a pool of worker threads (HttpRoutes says which
// handler).
//
// Memory is bounded whatever the clients send: a header is at most kMaxHeaderBytes (else 431),
// a body at most kMaxBodyBytes, declared or chunked (else 413 with the RequestTooLarge error).
// Bodies being received hold at most kBodyBudgetBytes between them, each taken whole before it
// is read (the declared length, the limit when chunked); the handlers' work (a body's parse, its
// reply) at most kWorkBudgetBytes, taken before a handler runs. A request that finds a budget spent
// waits, reading nothing more, until others give theirs back. Deadlines: kIdleSeconds for a
// request's header (also between keep-alive requests), kReadSeconds for its body, kWriteSeconds for
// its reply.
//
// stop() may be called from any thread: the listener closes, requests in flight finish, and
// run() returns.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace lembrete {

class HttpRoutes;

class HttpFrontend {
  public:
    static constexpr std::size_t kMaxBodyBytes = 16u << 20;
    static constexpr std::size_t kMaxHeaderBytes = 8u << 10;
    static constexpr std::size_t kBodyBudgetBytes = 32u << 20;
    static constexpr std::size_t kWorkBudgetBytes = 160u << 20;
    static constexpr int kIdleSeconds = 30;
    static constexpr int kReadSeconds = 60;
    static constexpr int kWriteSeconds = 60;

    HttpFrontend(const HttpRoutes& routes, int workerThreads);
    ~HttpFrontend();

    // Serves TLS from now on with this certificate chain and private key (PEM files). Throws
    // std::runtime_error (Portuguese message) when they cannot be read or do not match.
    void useTls(const std::string& certificateFile, const std::string& keyFile);
    // Throws std::runtime_error when the address cannot be bound.
    void bind(const std::string& host, int port);
    void run();
    void stop();

    struct State;  // the listener, connections and budgets, defined where they are served

  private:
    std::unique_ptr<State> state_;
};

}  // namespace lembrete
