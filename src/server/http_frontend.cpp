#include "server/http_frontend.h"

#include <httplib.h>

#include <stdexcept>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "server/calendar_feed.h"
#include "server/rpc_dispatcher.h"

namespace lembrete {
namespace {

constexpr const char* kJson = "application/json; charset=utf-8";
// A client keeps its connection for many calls; idle ones give their worker back after this.
// Stopping also waits for idle connections to reach it, so it is short.
constexpr time_t kKeepAliveSeconds = 2;
constexpr std::size_t kKeepAliveRequests = 1'000'000;

}  // namespace

HttpFrontend::HttpFrontend(RpcDispatcher& dispatcher, int workerThreads)
    : server_(std::make_unique<httplib::Server>()) {
    // cpp-httplib owns the task queue it gets from this factory.
    server_->new_task_queue = [workerThreads] { return new httplib::ThreadPool(workerThreads); };
    server_->set_keep_alive_max_count(kKeepAliveRequests);
    server_->set_keep_alive_timeout(kKeepAliveSeconds);
    server_->set_payload_max_length(kMaxBodyBytes);
    server_->set_tcp_nodelay(true);
    server_->Post(JsonRpcAppServer::kPath,
                  [&dispatcher](const httplib::Request& request, httplib::Response& response) {
                      const auto reply = dispatcher.handle(
                          request.body, request.get_header_value("Authorization"));
                      response.status = reply.httpStatus;
                      if (!reply.body.empty()) {
                          response.set_content(reply.body, kJson);
                      }
                  });
    server_->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.status == 413) {
            response.set_content(
                RpcDispatcher::errorResponse(rpc_error::RequestTooLarge,
                                             "Requisição grande demais: o limite é de " +
                                                 std::to_string(kMaxBodyBytes >> 20) +
                                                 " MiB. Nada foi gravado."),
                kJson);
        }
    });
}

HttpFrontend::~HttpFrontend() = default;

void HttpFrontend::serveFeed(CalendarFeed& feed) {
    server_->Get(std::string(CalendarFeed::kPathPrefix) + "([^/]+)",
                 [&feed](const httplib::Request& request, httplib::Response& response) {
                     auto reply = feed.answer(request.matches[1].str(),
                                              request.get_header_value("If-None-Match"));
                     response.status = reply.status;
                     std::string type;
                     for (auto& [name, value] : reply.headers) {
                         if (name == "Content-Type") {
                             type = value;
                         } else {
                             response.set_header(name, value);
                         }
                     }
                     if (!reply.body.empty()) {
                         response.set_content(std::move(reply.body), type);
                     }
                 });
}

void HttpFrontend::bind(const std::string& host, int port) {
    if (!server_->bind_to_port(host, port)) {
        throw std::runtime_error("Não foi possível ouvir em " + host + ":" + std::to_string(port) +
                                 " (endereço em uso ou inválido).");
    }
}

void HttpFrontend::run() {
    server_->listen_after_bind();
}

void HttpFrontend::stop() {
    server_->stop();
}

}  // namespace lembrete
