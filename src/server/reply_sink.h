// ReplySink: where a handler writes a long reply a piece at a time instead of returning it whole,
// so that the reply never has to fit in the server's memory.
//
// begin() commits the reply: status 200 with that content type, its body sent in chunks (HTTP/1.1
// chunked transfer) as write() fills them; whatever the handler returns afterwards is the body's
// last piece, its status ignored. write() blocks while the client has not taken the pieces before
// (a few pieces per reply are held at most) and throws ClientGone once the connection is lost. A
// handler that fails after begin() throws: the connection is then closed without the body's end,
// so the client sees the reply broken off, never a short one taken for whole.
#pragma once

#include <stdexcept>
#include <string_view>

namespace lembrete {

class ClientGone : public std::runtime_error {
  public:
    ClientGone() : std::runtime_error("o cliente fechou a conexão antes do fim da resposta") {}
};

class ReplySink {
  public:
    virtual ~ReplySink() = default;
    virtual void begin(std::string_view contentType) = 0;
    virtual void write(std::string_view piece) = 0;
    virtual bool begun() const = 0;
};

}  // namespace lembrete
