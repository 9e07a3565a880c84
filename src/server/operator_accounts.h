// OperatorAccounts: the operators allowed to log in, their argon2id password hashes
// (libsodium) and their session tokens.
//
// Codes are kept in upper case (ReminderRecord::operatorCode): "admin" is ADMIN everywhere.
// A disabled operator keeps its hash behind a "!" (no password matches it) and its reminders.
// A token is 32 random bytes in hex; only its BLAKE2b hash is stored, so a copy of the
// database opens no session. A session ends kSessionLifetime after the login, or after being
// idle for the policy's idle time; changing the password or disabling the operator ends all of
// that operator's sessions, and each login purges the sessions that have ended.
//
// Every login verifies a hash, a stand-in one for an unknown or disabled operator, so the
// answer takes as long whether the operator exists or not; at most kConcurrentChecks
// verifications run at once in the process (each holds 19 MiB), the others wait their turn.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lembrete {

class SessionCache;
class StoreConnection;

struct SessionPolicy {
    std::chrono::seconds idleTimeout = std::chrono::hours(8);
};

struct OperatorEntry {
    std::string code;
    bool enabled;
};

class OperatorAccounts {
  public:
    static constexpr std::chrono::hours kSessionLifetime{24 * 30};
    static constexpr std::size_t kMinPasswordLength = 8;
    static constexpr int kMaxCodeLength = 12;
    static const int kConcurrentChecks;

    // The stored form of a typed code; throws std::runtime_error (Portuguese message) for a
    // blank code, one with spaces, or one too long.
    static std::string checkedCode(const std::string& typed);

    // Each throws std::runtime_error (Portuguese message) when the operator exists (add) or
    // does not (the others), or for a password shorter than kMinPasswordLength.
    static void add(StoreConnection& connection, const std::string& operatorCode,
                    const std::string& password);
    static void changePassword(StoreConnection& connection, const std::string& operatorCode,
                               const std::string& password);
    static void setEnabled(StoreConnection& connection, const std::string& operatorCode,
                           bool enabled);
    // Removes the operator, its sessions and every row of its own (reminders, descriptions,
    // series, sequences: any table with a CDOPERADOR column) in one transaction.
    static void remove(StoreConnection& connection, const std::string& operatorCode);
    static std::vector<OperatorEntry> list(StoreConnection& connection);

    static bool exists(StoreConnection& connection, const std::string& operatorCode);

    // A new session token when operator and password match; nullopt otherwise.
    static std::optional<std::string> login(StoreConnection& connection,
                                            const std::string& operatorCode,
                                            const std::string& password,
                                            const SessionPolicy& policy = {});
    // The operator of a live session, or nullopt; notes the use of the session. The session
    // is read from the cache when it serves and holds it, else from the database.
    static std::optional<std::string> sessionOperator(StoreConnection& connection,
                                                      const std::string& token, SessionCache& cache,
                                                      const SessionPolicy& policy = {});
    static void logout(StoreConnection& connection, const std::string& token, SessionCache& cache);
};

}  // namespace lembrete
