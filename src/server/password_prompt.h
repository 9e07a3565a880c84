// Reads a new password for `operator add` / `operator passwd`: from the terminal without echo,
// asked twice; or one line from standard input when that is not a terminal (scripts, tests).
#pragma once

#include <string>

namespace lembrete {

// Throws std::runtime_error (Portuguese message) for an empty password, a mismatch or the end
// of input.
std::string readNewPassword();

}  // namespace lembrete
