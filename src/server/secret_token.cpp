#include "server/secret_token.h"

#include <sodium.h>

#include <stdexcept>

namespace lembrete {
namespace {

std::string toHex(const unsigned char* bytes, std::size_t size) {
    std::string hex(size * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, size);
    hex.pop_back();
    return hex;
}

}  // namespace

std::string newSecretToken() {
    if (sodium_init() < 0) {
        throw std::runtime_error("Falha ao iniciar a biblioteca de criptografia.");
    }
    unsigned char random[32];
    randombytes_buf(random, sizeof random);
    return toHex(random, sizeof random);
}

std::string secretTokenHash(const std::string& token) {
    unsigned char hash[32];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(token.data()),
                       token.size(), nullptr, 0);
    return toHex(hash, sizeof hash);
}

}  // namespace lembrete
