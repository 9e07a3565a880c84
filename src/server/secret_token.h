// Secret tokens (sessions, calendar feeds): 32 random bytes in hex, found by their BLAKE2b
// hash. A session is stored as the hash only, so that a copy of the database opens no session;
// a feed keeps its token as well, to be shown again (see calendar_feed.h).
#pragma once

#include <string>

namespace lembrete {

std::string newSecretToken();
// The hash stored for `token`, 64 hex digits.
std::string secretTokenHash(const std::string& token);

}  // namespace lembrete
