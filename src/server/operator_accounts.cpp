#include "server/operator_accounts.h"

#include <sodium.h>

#include <algorithm>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "data/reminder_record.h"
#include "data/utf8.h"
#include "server/secret_token.h"
#include "server/session_cache.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

// Argon2id with 19 MiB and two passes: the parameters commonly advised for logins, and
// small enough that a burst of logins does not swell the server.
constexpr unsigned long long kOpsLimit = 2;
constexpr std::size_t kMemLimit = 19u << 20;

void initialiseSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("Falha ao iniciar a biblioteca de criptografia.");
    }
}

std::string hashPassword(const std::string& password) {
    initialiseSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), kOpsLimit, kMemLimit) != 0) {
        throw std::runtime_error("Memória insuficiente para gerar o resumo da senha.");
    }
    return hash;
}

long long nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

constexpr char kDisabledMark = '!';

std::optional<std::string> storedHash(StoreConnection& connection,
                                      const std::string& operatorCode) {
    auto& select =
        connection.statement("SELECT DSHASHSENHA FROM OPERADOR WHERE CDOPERADOR = :op", "t", "t");
    select.setText(0, operatorCode);
    std::optional<std::string> hash;
    if (select.execute()) {
        hash = select.text(0);
    }
    select.reset();
    return hash;
}

// The hash of an operator that must exist; throws otherwise.
std::string existingHash(StoreConnection& connection, const std::string& operatorCode) {
    auto hash = storedHash(connection, operatorCode);
    if (!hash) {
        throw std::runtime_error("O operador " + operatorCode + " não existe.");
    }
    return *hash;
}

void checkPassword(const std::string& password) {
    if (utf8::length(password) < OperatorAccounts::kMinPasswordLength) {
        throw std::runtime_error("A senha deve ter pelo menos " +
                                 std::to_string(OperatorAccounts::kMinPasswordLength) +
                                 " caracteres.");
    }
}

void writeHash(StoreConnection& connection, const std::string& operatorCode,
               const std::string& hash) {
    auto& update = connection.statement(
        "UPDATE OPERADOR SET DSHASHSENHA = :hash WHERE CDOPERADOR = :op", "tt");
    update.setText(0, hash);
    update.setText(1, operatorCode);
    update.execute();
}

void endSessions(StoreConnection& connection, const std::string& operatorCode) {
    auto& revoke = connection.statement("DELETE FROM SESSAO WHERE CDOPERADOR = :op", "t");
    revoke.setText(0, operatorCode);
    revoke.execute();
}

std::optional<StoredSession> storedSession(StoreConnection& connection, const std::string& hash) {
    auto& select = connection.statement(
        "SELECT CDOPERADOR, DTCRIACAO, DTULTIMOUSO FROM SESSAO WHERE DSHASHTOKEN = :hash", "t",
        "tii");
    select.setText(0, hash);
    if (!select.execute()) {
        return std::nullopt;
    }
    StoredSession session{select.text(0), select.integer(1), select.integer(2)};
    select.reset();
    return session;
}

// Verified for an operator that does not exist or is disabled, so that the answer takes as
// long as for a wrong password.
const std::string& standInHash() {
    static const std::string hash = [] { return hashPassword(newSecretToken()); }();
    return hash;
}

// A verification holds kMemLimit for its length: a burst of logins queues here instead of
// swelling the server.
bool verify(const std::string& hash, const std::string& password) {
    static std::counting_semaphore<256> slots(OperatorAccounts::kConcurrentChecks);
    slots.acquire();
    const int outcome = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size());
    slots.release();
    return outcome == 0;
}

// The session tables with a CDOPERADOR column, found in the catalog so that every table of
// an operator's own goes with it.
std::vector<std::string> operatorTables(StoreConnection& connection) {
    auto& select = connection.statement(
        connection.backend() == Backend::Sqlite
            ? "SELECT m.name FROM sqlite_master m, pragma_table_info(m.name) p"
              " WHERE m.type = 'table' AND UPPER(p.name) = 'CDOPERADOR' ORDER BY m.name"
            : "SELECT table_name FROM information_schema.columns WHERE table_schema ="
              " current_schema() AND column_name = 'cdoperador' ORDER BY table_name",
        "", "t");
    std::vector<std::string> tables;
    for (bool more = select.execute(); more; more = select.fetch()) {
        tables.push_back(select.text(0));
    }
    return tables;
}

}  // namespace

const int OperatorAccounts::kConcurrentChecks =
    static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 256u));

std::string OperatorAccounts::checkedCode(const std::string& typed) {
    if (typed.empty() || typed.find_first_of(" \t\r\n\v\f") != std::string::npos) {
        throw std::runtime_error("Código de operador inválido: informe um código sem espaços.");
    }
    if (utf8::length(typed) > static_cast<std::size_t>(kMaxCodeLength)) {
        throw std::runtime_error("Código de operador inválido: use de 1 a " +
                                 std::to_string(kMaxCodeLength) + " caracteres.");
    }
    return ReminderRecord::operatorCode(typed);
}

void OperatorAccounts::add(StoreConnection& connection, const std::string& operatorCode,
                           const std::string& password) {
    checkPassword(password);
    const auto hash = hashPassword(password);
    WriteTransaction transaction(connection);
    auto& insert = connection.statement(
        "INSERT INTO OPERADOR (CDOPERADOR, DSHASHSENHA) VALUES (:op, :hash) ON CONFLICT "
        "(CDOPERADOR) DO NOTHING",
        "tt");
    insert.setText(0, operatorCode);
    insert.setText(1, hash);
    insert.execute();
    if (insert.affectedRows() != 1) {
        throw std::runtime_error("O operador " + operatorCode + " já existe.");
    }
    transaction.commit();
}

void OperatorAccounts::changePassword(StoreConnection& connection, const std::string& operatorCode,
                                      const std::string& password) {
    checkPassword(password);
    const auto hash = hashPassword(password);
    WriteTransaction transaction(connection);
    const bool disabled = existingHash(connection, operatorCode).starts_with(kDisabledMark);
    // A disabled operator stays disabled with its new password.
    writeHash(connection, operatorCode, disabled ? kDisabledMark + hash : hash);
    endSessions(connection, operatorCode);
    transaction.commit();
}

void OperatorAccounts::setEnabled(StoreConnection& connection, const std::string& operatorCode,
                                  bool enabled) {
    WriteTransaction transaction(connection);
    const auto hash = existingHash(connection, operatorCode);
    const bool disabled = hash.starts_with(kDisabledMark);
    if (enabled && disabled) {
        writeHash(connection, operatorCode, hash.substr(1));
    } else if (!enabled && !disabled) {
        writeHash(connection, operatorCode, kDisabledMark + hash);
        endSessions(connection, operatorCode);
    }
    transaction.commit();
}

void OperatorAccounts::remove(StoreConnection& connection, const std::string& operatorCode) {
    WriteTransaction transaction(connection);
    existingHash(connection, operatorCode);
    for (const auto& table : operatorTables(connection)) {
        auto& erase = connection.statement("DELETE FROM " + table + " WHERE CDOPERADOR = :op", "t");
        erase.setText(0, operatorCode);
        erase.execute();
    }
    transaction.commit();
}

bool OperatorAccounts::exists(StoreConnection& connection, const std::string& operatorCode) {
    return storedHash(connection, operatorCode).has_value();
}

std::vector<OperatorEntry> OperatorAccounts::list(StoreConnection& connection) {
    auto& select = connection.statement(
        "SELECT CDOPERADOR, DSHASHSENHA FROM OPERADOR ORDER BY CDOPERADOR", "", "tt");
    std::vector<OperatorEntry> entries;
    for (bool more = select.execute(); more; more = select.fetch()) {
        entries.push_back({select.text(0), !select.text(1).starts_with(kDisabledMark)});
    }
    return entries;
}

std::optional<std::string> OperatorAccounts::login(StoreConnection& connection,
                                                   const std::string& operatorCode,
                                                   const std::string& password,
                                                   const SessionPolicy& policy) {
    initialiseSodium();
    const auto hash = storedHash(connection, operatorCode);
    const bool usable = hash && !hash->starts_with(kDisabledMark);
    if (!verify(usable ? *hash : standInHash(), password) || !usable) {
        return std::nullopt;
    }
    const auto token = newSecretToken();
    const long long now = nowSeconds();
    WriteTransaction transaction(connection);
    // Sessions past their lifetime or idle time are of no use to anyone: drop them on the way.
    auto& expire = connection.statement(
        "DELETE FROM SESSAO WHERE DTCRIACAO < :created OR DTULTIMOUSO < :used", "ii");
    expire.setInteger(0, now - std::chrono::seconds(kSessionLifetime).count());
    expire.setInteger(1, now - policy.idleTimeout.count());
    expire.execute();
    auto& insert = connection.statement(
        "INSERT INTO SESSAO (DSHASHTOKEN, CDOPERADOR, DTCRIACAO, DTULTIMOUSO)"
        " VALUES (:hash, :op, :created, :used)",
        "ttii");
    insert.setText(0, secretTokenHash(token));
    insert.setText(1, operatorCode);
    insert.setInteger(2, now);
    insert.setInteger(3, now);
    insert.execute();
    transaction.commit();
    return token;
}

std::optional<std::string> OperatorAccounts::sessionOperator(StoreConnection& connection,
                                                             const std::string& token,
                                                             SessionCache& cache,
                                                             const SessionPolicy& policy) {
    const long long now = nowSeconds();
    const long long createdSince = now - std::chrono::seconds(kSessionLifetime).count();
    const long long usedSince = now - policy.idleTimeout.count();
    const auto live = [&](const StoredSession& session) {
        return session.created >= createdSince && session.lastUse >= usedSince;
    };
    const auto hash = secretTokenHash(token);
    auto session = cache.find(hash);
    // One kept past its idle time may have been used through another server since: read again.
    if (!session || !live(*session)) {
        const auto generation = cache.generation();
        session = storedSession(connection, hash);
        if (!session || !live(*session)) {
            return std::nullopt;
        }
        cache.remember(hash, *session, generation);
    }
    // The last use is written only once it is a fair part of the idle time old: a read stays
    // a read nearly always. The write finds the session only while it is stored and live, so
    // one ended without a notification reaching this server is refused at its next write.
    const long long granularity = std::clamp<long long>(policy.idleTimeout.count() / 8, 1, 60);
    if (now - session->lastUse >= granularity) {
        auto& touch = connection.statement(
            "UPDATE SESSAO SET DTULTIMOUSO = :used WHERE DSHASHTOKEN = :hash"
            " AND DTCRIACAO >= :created AND DTULTIMOUSO >= :idle",
            "itii");
        touch.setInteger(0, now);
        touch.setText(1, hash);
        touch.setInteger(2, createdSince);
        touch.setInteger(3, usedSince);
        touch.execute();
        if (touch.affectedRows() == 0) {
            cache.forget(hash);
            return std::nullopt;
        }
        cache.noteUse(hash, now);
    }
    return std::move(session->operatorCode);
}

void OperatorAccounts::logout(StoreConnection& connection, const std::string& token,
                              SessionCache& cache) {
    const auto hash = secretTokenHash(token);
    auto& erase = connection.statement("DELETE FROM SESSAO WHERE DSHASHTOKEN = :hash", "t");
    erase.setText(0, hash);
    erase.execute();
    // Other servers hear of it from the database; this one forgets it before answering.
    cache.forget(hash);
}

}  // namespace lembrete
