// WireFormatError: a JSON value that does not have the shape the wire format requires.
//
// Thrown by the JSON codec while decoding; the message is Portuguese and names what is wrong,
// so the server can hand it to the user unchanged.
#pragma once

#include <stdexcept>
#include <string>

namespace lembrete {

class WireFormatError : public std::runtime_error {
  public:
    explicit WireFormatError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace lembrete
