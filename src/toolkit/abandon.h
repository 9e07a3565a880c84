// Abandon: "abandon the current operation".
//
// Thrown by the host services after they have told the user why (an input error shown by
// MensErro, a server failure shown by CheckResultServ). Nothing reports it again: the
// outermost event dispatch (EventBoundary) catches it and the user-interface event simply
// ends. Every other exception passes the boundary untouched.
#pragma once

#include <exception>

namespace lembrete {

class Abandon : public std::exception {
  public:
    const char* what() const noexcept override { return "operação abandonada"; }
};

}  // namespace lembrete
