#include "server/operator_accounts.h"

#include <sodium.h>

#include <stdexcept>

#include "data/utf8.h"
#include "server/secret_token.h"
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

std::optional<std::string> storedHash(StoreConnection& connection,
                                      const std::string& operatorCode) {
    auto& select =
        connection.statement("SELECT DSHASHSENHA FROM OPERADOR WHERE CDOPERADOR = :op", "t", "t");
    select.setText(0, operatorCode);
    return select.execute() ? std::optional<std::string>(select.text(0)) : std::nullopt;
}

void checkCode(const std::string& operatorCode) {
    if (operatorCode.empty() || utf8::length(operatorCode) > 12) {
        throw std::runtime_error("Código de operador inválido: use de 1 a 12 caracteres.");
    }
}

}  // namespace

void OperatorAccounts::add(StoreConnection& connection, const std::string& operatorCode,
                           const std::string& password) {
    checkCode(operatorCode);
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
    const auto hash = hashPassword(password);
    WriteTransaction transaction(connection);
    auto& update = connection.statement(
        "UPDATE OPERADOR SET DSHASHSENHA = :hash WHERE CDOPERADOR = :op", "tt");
    update.setText(0, hash);
    update.setText(1, operatorCode);
    update.execute();
    if (update.affectedRows() != 1) {
        throw std::runtime_error("O operador " + operatorCode + " não existe.");
    }
    auto& revoke = connection.statement("DELETE FROM SESSAO WHERE CDOPERADOR = :op", "t");
    revoke.setText(0, operatorCode);
    revoke.execute();
    transaction.commit();
}

bool OperatorAccounts::exists(StoreConnection& connection, const std::string& operatorCode) {
    const bool found = storedHash(connection, operatorCode).has_value();
    connection.resetStatements();
    return found;
}

std::optional<std::string> OperatorAccounts::login(StoreConnection& connection,
                                                   const std::string& operatorCode,
                                                   const std::string& password) {
    initialiseSodium();
    const auto hash = storedHash(connection, operatorCode);
    if (!hash || crypto_pwhash_str_verify(hash->c_str(), password.data(), password.size()) != 0) {
        return std::nullopt;
    }
    const auto token = newSecretToken();
    WriteTransaction transaction(connection);
    // Sessions past their lifetime are of no use to anyone: drop them on the way.
    auto& expire = connection.statement("DELETE FROM SESSAO WHERE DTCRIACAO < :limit", "i");
    expire.setInteger(0, nowSeconds() - std::chrono::seconds(kSessionLifetime).count());
    expire.execute();
    auto& insert = connection.statement(
        "INSERT INTO SESSAO (DSHASHTOKEN, CDOPERADOR, DTCRIACAO) VALUES (:hash, :op, :created)",
        "tti");
    insert.setText(0, secretTokenHash(token));
    insert.setText(1, operatorCode);
    insert.setInteger(2, nowSeconds());
    insert.execute();
    transaction.commit();
    return token;
}

std::optional<std::string> OperatorAccounts::sessionOperator(StoreConnection& connection,
                                                             const std::string& token) {
    auto& select = connection.statement(
        "SELECT CDOPERADOR FROM SESSAO WHERE DSHASHTOKEN = :hash AND DTCRIACAO >= :limit", "ti",
        "t");
    select.setText(0, secretTokenHash(token));
    select.setInteger(1, nowSeconds() - std::chrono::seconds(kSessionLifetime).count());
    return select.execute() ? std::optional<std::string>(select.text(0)) : std::nullopt;
}

}  // namespace lembrete
