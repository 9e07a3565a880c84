// Secret tokens (sessions, calendar feeds): 32 random bytes in hex, of which the store keeps
// only the BLAKE2b hash, so that a copy of the database opens nothing.
#pragma once

#include <string>

namespace lembrete {

std::string newSecretToken();
// The hash stored for `token`, 64 hex digits.
std::string secretTokenHash(const std::string& token);

}  // namespace lembrete
