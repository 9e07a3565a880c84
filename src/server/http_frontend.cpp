#include "server/http_frontend.h"

#include <malloc.h>

// clang-format off
#include <utility>  // before Asio, whose headers use std::exchange without it
// clang-format on

#include <array>
#include <atomic>
#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/core/detect_ssl.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>

#include "net/rpc_error_codes.h"
#include "server/http_routes.h"
#include "server/memory_budget.h"
#include "server/reply_sink.h"
#include "server/rpc_dispatcher.h"

namespace lembrete {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

constexpr const char* kJson = "application/json; charset=utf-8";
constexpr int kIoThreads = 2;
// A connection's read buffer: a whole header fits, and one read adds at most this to a body.
constexpr std::size_t kBufferBytes = 2 * HttpFrontend::kMaxHeaderBytes;
// After a refusal the client may still be sending its body: read it away for this long, so
// that it gets the answer instead of a reset connection.
constexpr auto kDrainTime = std::chrono::seconds(5);
// Requests that held more than this give the freed memory back to the system afterwards.
constexpr std::size_t kTrimAfterBytes = 4u << 20;

HttpReply refusal(int status, int code, const std::string& message) {
    return {status, kJson, RpcDispatcher::errorResponse(code, message), {}};
}

HttpReply refusalFor(const beast::error_code& error) {
    if (error == http::error::body_limit) {
        return refusal(413, rpc_error::RequestTooLarge,
                       "Requisição grande demais: o limite é de " +
                           std::to_string(HttpFrontend::kMaxBodyBytes >> 20) +
                           " MiB. Nada foi gravado.");
    }
    if (error == http::error::header_limit) {
        return refusal(431, rpc_error::RequestTooLarge,
                       "Cabeçalhos da requisição grandes demais: o limite é de " +
                           std::to_string(HttpFrontend::kMaxHeaderBytes >> 10) + " KiB.");
    }
    return refusal(400, rpc_error::InvalidRequest, "Requisição HTTP inválida.");
}

// A request whose HTTP cannot be read further: answer it only for these, else just close.
bool deservesAnswer(const beast::error_code& error) {
    return error.category() == beast::error_code(http::error::body_limit).category() &&
           error != http::error::end_of_stream && error != http::error::partial_message;
}

std::string_view view(beast::string_view text) {
    return {text.data(), text.size()};
}

// A streamed reply goes out in chunks of about this size, at most kPiecesInFlight of them
// waiting for the client at once: what a streamed reply holds, however long it is.
constexpr std::size_t kPieceBytes = 256u << 10;
constexpr int kPiecesInFlight = 2;

// The body of a streamed reply between the worker that writes it and the connection that sends
// it: pieces framed as HTTP chunks (the first with the header), handed over by `send`.
class StreamedBody : public ReplySink, public std::enable_shared_from_this<StreamedBody> {
  public:
    using Send = std::function<void(std::shared_ptr<StreamedBody>, std::string framed, bool last)>;

    StreamedBody(bool keepAlive, Send send) : keepAlive_(keepAlive), send_(std::move(send)) {}

    void begin(std::string_view contentType) override {
        head_ = "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(contentType) +
                "\r\nTransfer-Encoding: chunked\r\n" + (keepAlive_ ? "" : "Connection: close\r\n") +
                "\r\n";
        begun_ = true;
    }

    void write(std::string_view piece) override {
        pending_.append(piece);
        if (pending_.size() >= kPieceBytes) {
            flush(false);
        }
    }

    bool begun() const override { return begun_; }

    // The body's last piece and its end.
    void finish(std::string_view last) {
        pending_.append(last);
        flush(true);
    }

    // From the connection: a piece went out, or the connection is lost.
    void sent() {
        std::lock_guard lock(mutex_);
        --inFlight_;
        room_.notify_all();
    }
    void broken() {
        std::lock_guard lock(mutex_);
        broken_ = true;
        room_.notify_all();
    }

  private:
    void flush(bool last) {
        std::string framed = std::exchange(head_, {});
        if (!pending_.empty()) {
            char size[20];
            const auto end = std::to_chars(size, size + sizeof size, pending_.size(), 16).ptr;
            framed.append(size, end).append("\r\n").append(pending_).append("\r\n");
            pending_.clear();
        }
        if (last) {
            framed += "0\r\n\r\n";
        }
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return inFlight_ < kPiecesInFlight || broken_; });
        if (broken_) {
            throw ClientGone();
        }
        ++inFlight_;
        lock.unlock();
        send_(shared_from_this(), std::move(framed), last);
    }

    const bool keepAlive_;
    const Send send_;
    std::string head_;
    std::string pending_;
    bool begun_ = false;
    std::mutex mutex_;
    std::condition_variable room_;
    int inFlight_ = 0;
    bool broken_ = false;
};

}  // namespace

struct HttpFrontend::State {
    State(const HttpRoutes& routes, int workerThreads) : routes(routes), workers(workerThreads) {}

    void accept();
    // On a TLS listener: a client that starts without a TLS handshake is told to use TLS.
    void detectTls(tcp::socket socket);
    void enter() {
        std::lock_guard lock(mutex);
        ++busy;
    }
    void leave() {
        std::lock_guard lock(mutex);
        if (--busy == 0) {
            idle.notify_all();
        }
    }

    const HttpRoutes& routes;
    asio::io_context io;
    asio::thread_pool workers;
    tcp::acceptor acceptor{io};
    asio::steady_timer acceptRetry{io};
    std::optional<asio::ssl::context> tls;
    MemoryBudget bodies{kBodyBudgetBytes};
    MemoryBudget work{kWorkBudgetBytes};
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::condition_variable idle;
    int busy = 0;  // requests read whole and not yet answered
};

namespace {

// One client connection: reads a request, has it handled, writes the reply, and so on.
template <class Stream>
class Connection : public std::enable_shared_from_this<Connection<Stream>> {
  public:
    // `received`: what was read from the client already; `tlsRequired`: a plain connection to a
    // TLS listener, whose requests are all refused.
    Connection(HttpFrontend::State& state, Stream stream, beast::flat_buffer received = {},
               bool tlsRequired = false)
        : state_(state),
          stream_(std::move(stream)),
          buffer_(kBufferBytes),
          clientAddress_(peerAddress(tcp())),
          tlsRequired_(tlsRequired) {
        asio::buffer_copy(buffer_.prepare(received.size()), received.data());
        buffer_.commit(received.size());
    }

    ~Connection() { giveBack(); }

    void start() {
        if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
            readHeader();
        } else {
            tcp().expires_after(std::chrono::seconds(HttpFrontend::kIdleSeconds));
            stream_.async_handshake(
                asio::ssl::stream_base::server, buffer_.data(),
                [self = this->shared_from_this()](beast::error_code error, std::size_t used) {
                    if (!error) {
                        self->buffer_.consume(used);
                        self->readHeader();
                    }
                });
        }
    }

  private:
    beast::tcp_stream& tcp() { return beast::get_lowest_layer(stream_); }

    // Empty when the peer is already gone: the throttle then counts the operator only.
    static std::string peerAddress(beast::tcp_stream& stream) {
        beast::error_code error;
        const auto endpoint = stream.socket().remote_endpoint(error);
        return error ? std::string() : endpoint.address().to_string();
    }

    void readHeader() {
        if (state_.stopping) {
            return close();
        }
        parser_.emplace();
        parser_->header_limit(HttpFrontend::kMaxHeaderBytes);
        parser_->body_limit(HttpFrontend::kMaxBodyBytes);
        tcp().expires_after(std::chrono::seconds(HttpFrontend::kIdleSeconds));
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                error ? self->fail(error) : self->readBody();
            });
    }

    void fail(const beast::error_code& error) {
        deservesAnswer(error) ? refuse(refusalFor(error)) : close();
    }

    // A body is taken from the budget whole (the declared length, or the limit when chunked)
    // before it is read: connections holding parts of bodies could otherwise spend the budget
    // between them with none complete.
    void readBody() {
        if (parser_->is_done()) {
            return dispatch();
        }
        const auto declared = parser_->content_length();
        const std::size_t wanted = declared ? static_cast<std::size_t>(*declared) + kBufferBytes
                                            : HttpFrontend::kMaxBodyBytes + kBufferBytes;
        state_.bodies.acquire(wanted, [self = this->shared_from_this(), wanted] {
            asio::post(self->stream_.get_executor(), [self, wanted] {
                self->bodyHeld_ = wanted;
                self->expectsContinue() ? self->sendContinue() : self->readWholeBody();
            });
        });
    }

    // A client that waits for leave to send its body ("Expect: 100-continue") gets it once the
    // body has room; one refused beforehand gets the refusal instead.
    bool expectsContinue() {
        return beast::iequals(parser_->get()[http::field::expect], "100-continue");
    }

    void sendContinue() {
        static const std::string kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
        tcp().expires_after(std::chrono::seconds(HttpFrontend::kWriteSeconds));
        asio::async_write(stream_, asio::buffer(kContinue),
                          [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                              error ? self->close() : self->readWholeBody();
                          });
    }

    void readWholeBody() {
        tcp().expires_after(std::chrono::seconds(HttpFrontend::kReadSeconds));
        http::async_read(stream_, buffer_, *parser_,
                         [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                             error ? self->fail(error) : self->dispatch();
                         });
    }

    void dispatch() {
        if (state_.stopping) {
            return close();
        }
        if (tlsRequired_) {
            return refuse(refusal(400, rpc_error::InvalidRequest,
                                  "Este servidor só aceita conexões seguras (TLS): use "
                                  "\"https://\" no endereço ou marque \"Conexão segura (TLS)\"."));
        }
        const auto& request = parser_->get();
        int status = 404;
        const HttpRoute* route =
            state_.routes.find(view(request.method_string()), view(request.target()), status);
        if (!route) {
            return refuse(refusal(
                status, rpc_error::InvalidRequest,
                "Caminho ou método desconhecido: " + std::string(view(request.method_string())) +
                    " " + std::string(view(request.target()).substr(0, 200)) + "."));
        }
        const std::string& body = request.body();
        const std::size_t estimate =
            state_.work.fit(route->workEstimate ? route->workEstimate(body) : body.size());
        state_.enter();
        state_.work.acquire(estimate, [self = this->shared_from_this(), route, estimate] {
            asio::post(self->state_.workers, [self, route, estimate] {
                self->workHeld_ = estimate;
                self->serve(*route);
            });
        });
    }

    // On a worker: runs the handler, then has its reply sent whole or ends the streamed one.
    void serve(const HttpRoute& route) {
        const auto& request = parser_->get();
        const auto body = std::make_shared<StreamedBody>(
            request.keep_alive() && !state_.stopping,
            [self = this->shared_from_this()](std::shared_ptr<StreamedBody> body,
                                              std::string framed, bool last) {
                asio::post(
                    self->stream_.get_executor(),
                    [self, body = std::move(body), framed = std::move(framed), last]() mutable {
                        self->sendPiece(std::move(body), std::move(framed), last);
                    });
            });
        std::optional<HttpReply> reply;
        try {
            reply = route.handler(
                HttpRequest{view(request.method_string()), view(request.target()),
                            view(request[http::field::authorization]), request.body(),
                            [&request](std::string_view name) {
                                return view(request[beast::string_view(name.data(), name.size())]);
                            },
                            clientAddress_, body.get()});
            if (body->begun()) {
                return body->finish(reply->body);
            }
        } catch (const std::exception&) {
            if (body->begun()) {
                // Part of the reply may be out: only a broken-off connection tells the client.
                return asio::post(stream_.get_executor(),
                                  [self = this->shared_from_this()] { self->endStream(true); });
            }
            reply = refusal(500, rpc_error::InternalError, "Erro interno do servidor.");
        }
        asio::post(stream_.get_executor(),
                   [self = this->shared_from_this(), reply = std::move(*reply)]() mutable {
                       self->answer(std::move(reply), self->parser_->get().keep_alive());
                   });
    }

    // On the connection: sends the pieces of a streamed reply in order.
    void sendPiece(std::shared_ptr<StreamedBody> body, std::string framed, bool last) {
        if (streamEnded_) {
            return body->broken();
        }
        streamed_ = std::move(body);
        pieces_.push_back(std::move(framed));
        lastQueued_ = lastQueued_ || last;
        if (pieces_.size() == 1) {
            sendFront();
        }
    }

    void sendFront() {
        tcp().expires_after(std::chrono::seconds(HttpFrontend::kWriteSeconds));
        asio::async_write(stream_, asio::buffer(pieces_.front()),
                          [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                              self->pieces_.pop_front();
                              if (error) {
                                  return self->endStream(true);
                              }
                              self->streamed_->sent();
                              if (!self->pieces_.empty()) {
                                  self->sendFront();
                              } else if (self->lastQueued_) {
                                  self->endStream(false);
                              }
                          });
    }

    // The streamed reply is over, whole or `broken` off; once.
    void endStream(bool broken) {
        if (std::exchange(streamEnded_, true)) {
            return;
        }
        const bool keepAlive = !broken && parser_->get().keep_alive() && !state_.stopping;
        if (broken && streamed_) {
            streamed_->broken();
        }
        streamed_.reset();
        parser_.reset();
        giveBack();
        state_.leave();
        if (broken || !keepAlive) {
            return close();
        }
        pieces_.clear();
        lastQueued_ = false;
        streamEnded_ = false;
        readHeader();
    }

    void refuse(HttpReply reply) {
        state_.enter();
        answer(std::move(reply), false);
    }

    void answer(HttpReply reply, bool keepAlive) {
        response_ = {};
        response_.version(11);
        response_.result(static_cast<http::status>(reply.status));
        if (!reply.contentType.empty()) {
            response_.set(http::field::content_type, reply.contentType);
        }
        for (const auto& [name, value] : reply.headers) {
            response_.set(name, value);
        }
        response_.body() = std::move(reply.body);
        response_.keep_alive(keepAlive && !state_.stopping);
        response_.prepare_payload();
        // The request is done with; its reply is what this connection holds now.
        const bool drain = !keepAlive && parser_ && !parser_->is_done();
        parser_.reset();
        peak_ = std::max(peak_, bodyHeld_ + workHeld_);
        state_.bodies.release(std::exchange(bodyHeld_, 0));
        const std::size_t replyBytes = response_.body().size();
        if (replyBytes > workHeld_) {
            state_.work.force(replyBytes - workHeld_);
        } else {
            state_.work.release(workHeld_ - replyBytes);
        }
        workHeld_ = replyBytes;
        tcp().expires_after(std::chrono::seconds(HttpFrontend::kWriteSeconds));
        http::async_write(
            stream_, response_,
            [self = this->shared_from_this(), drain](beast::error_code error, std::size_t) {
                self->onWritten(error, drain);
            });
    }

    void onWritten(const beast::error_code& error, bool drain) {
        const bool keepAlive = response_.keep_alive();
        response_ = {};
        giveBack();
        state_.leave();
        if (std::exchange(peak_, 0) > kTrimAfterBytes) {
            asio::post(state_.workers, [] { malloc_trim(0); });
        }
        if (error) {
            return close();
        }
        if (drain) {
            return startDrain();
        }
        keepAlive ? readHeader() : close();
    }

    void startDrain() {
        beast::error_code ignored;
        tcp().socket().shutdown(tcp::socket::shutdown_send, ignored);
        tcp().expires_after(kDrainTime);
        drainMore();
    }

    void drainMore() {
        tcp().async_read_some(asio::buffer(scratch_), [self = this->shared_from_this()](
                                                          beast::error_code error, std::size_t) {
            error ? self->close() : self->drainMore();
        });
    }

    void giveBack() {
        state_.bodies.release(std::exchange(bodyHeld_, 0));
        state_.work.release(std::exchange(workHeld_, 0));
    }

    void close() {
        beast::error_code ignored;
        tcp().socket().shutdown(tcp::socket::shutdown_both, ignored);
        tcp().close();
    }

    HttpFrontend::State& state_;
    Stream stream_;
    beast::flat_buffer buffer_;
    const std::string clientAddress_;
    const bool tlsRequired_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> response_;
    std::array<char, kBufferBytes> scratch_{};
    // A streamed reply: its body, and the pieces waiting to go out.
    std::shared_ptr<StreamedBody> streamed_;
    std::deque<std::string> pieces_;
    bool lastQueued_ = false;
    bool streamEnded_ = false;
    std::size_t bodyHeld_ = 0;
    std::size_t workHeld_ = 0;
    std::size_t peak_ = 0;
};

}  // namespace

void HttpFrontend::State::accept() {
    acceptor.async_accept(asio::make_strand(io),
                          [this](beast::error_code error, tcp::socket socket) {
                              if (!acceptor.is_open()) {
                                  return;
                              }
                              if (error) {
                                  // Out of descriptors, most likely: try again shortly instead of
                                  // spinning.
                                  acceptRetry.expires_after(std::chrono::milliseconds(100));
                                  acceptRetry.async_wait([this](beast::error_code) { accept(); });
                                  return;
                              }
                              socket.set_option(tcp::no_delay(true));
                              if (tls) {
                                  detectTls(std::move(socket));
                              } else {
                                  std::make_shared<Connection<beast::tcp_stream>>(
                                      *this, beast::tcp_stream(std::move(socket)))
                                      ->start();
                              }
                              accept();
                          });
}

void HttpFrontend::State::detectTls(tcp::socket socket) {
    auto stream = std::make_shared<beast::tcp_stream>(std::move(socket));
    auto received = std::make_shared<beast::flat_buffer>(kBufferBytes);
    stream->expires_after(std::chrono::seconds(kIdleSeconds));
    beast::async_detect_ssl(
        *stream, *received, [this, stream, received](beast::error_code error, bool handshake) {
            if (error) {
                return;
            }
            if (handshake) {
                std::make_shared<Connection<beast::ssl_stream<beast::tcp_stream>>>(
                    *this, beast::ssl_stream<beast::tcp_stream>(std::move(*stream), *tls),
                    std::move(*received))
                    ->start();
            } else {
                std::make_shared<Connection<beast::tcp_stream>>(*this, std::move(*stream),
                                                                std::move(*received), true)
                    ->start();
            }
        });
}

HttpFrontend::HttpFrontend(const HttpRoutes& routes, int workerThreads)
    : state_(std::make_unique<State>(routes, workerThreads)) {}

HttpFrontend::~HttpFrontend() {
    state_->workers.join();
}

void HttpFrontend::useTls(const std::string& certificateFile, const std::string& keyFile) {
    auto& context = state_->tls.emplace(asio::ssl::context::tls_server);
    context.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                        asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                        asio::ssl::context::no_tlsv1_1);
    try {
        context.use_certificate_chain_file(certificateFile);
    } catch (const boost::system::system_error& error) {
        state_->tls.reset();
        throw std::runtime_error("Não foi possível ler o certificado TLS " + certificateFile +
                                 " (" + error.code().message() + ").");
    }
    try {
        context.use_private_key_file(keyFile, asio::ssl::context::pem);
    } catch (const boost::system::system_error& error) {
        state_->tls.reset();
        throw std::runtime_error("Não foi possível ler a chave privada TLS " + keyFile +
                                 " ou ela não corresponde ao certificado (" +
                                 error.code().message() + ").");
    }
}

void HttpFrontend::bind(const std::string& host, int port) {
    beast::error_code error;
    const auto address = asio::ip::make_address(host, error);
    tcp::endpoint endpoint(address, static_cast<unsigned short>(port));
    auto& acceptor = state_->acceptor;
    if (!error) {
        acceptor.open(endpoint.protocol(), error);
    }
    if (!error) {
        acceptor.set_option(asio::socket_base::reuse_address(true), error);
        acceptor.bind(endpoint, error);
    }
    if (!error) {
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    }
    if (error) {
        throw std::runtime_error("Não foi possível ouvir em " + host + ":" + std::to_string(port) +
                                 " (endereço em uso ou inválido).");
    }
}

void HttpFrontend::run() {
    state_->accept();
    std::vector<std::thread> threads;
    for (int i = 1; i < kIoThreads; ++i) {
        threads.emplace_back([this] { state_->io.run(); });
    }
    state_->io.run();
    for (auto& thread : threads) {
        thread.join();
    }
}

void HttpFrontend::stop() {
    state_->stopping = true;
    asio::post(state_->io, [this] {
        beast::error_code ignored;
        state_->acceptor.close(ignored);
    });
    {
        std::unique_lock lock(state_->mutex);
        state_->idle.wait_for(lock, std::chrono::seconds(kWriteSeconds),
                              [this] { return state_->busy == 0; });
    }
    state_->io.stop();
}

}  // namespace lembrete
