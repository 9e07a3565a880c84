// OperatorAccounts: the operators allowed to log in, their argon2id password hashes
// (libsodium) and their session tokens.
//
// A token is 32 random bytes in hex; only its BLAKE2b hash is stored, so a copy of the
// database opens no session. A session lasts kSessionLifetime; changing an operator's password
// ends all of that operator's sessions.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace lembrete {

class StoreConnection;

class OperatorAccounts {
  public:
    static constexpr std::chrono::hours kSessionLifetime{24 * 30};

    // Throw std::runtime_error (Portuguese message) when the operator exists / does not exist.
    static void add(StoreConnection& connection, const std::string& operatorCode,
                    const std::string& password);
    static void changePassword(StoreConnection& connection, const std::string& operatorCode,
                               const std::string& password);

    static bool exists(StoreConnection& connection, const std::string& operatorCode);

    // A new session token when operator and password match; nullopt otherwise.
    static std::optional<std::string> login(StoreConnection& connection,
                                            const std::string& operatorCode,
                                            const std::string& password);
    // The operator of a live session, or nullopt.
    static std::optional<std::string> sessionOperator(StoreConnection& connection,
                                                      const std::string& token);
};

}  // namespace lembrete
