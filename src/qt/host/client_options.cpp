#include "qt/host/client_options.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "net/transport_security.h"

namespace lembrete {
namespace {

int parsePort(const std::string& text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535) {
        throw std::invalid_argument("Porta inválida: " + text);
    }
    return port;
}

}  // namespace

const char* ClientOptions::usage() {
    return "Uso: lembrete-client [--server [https://]HOST:PORTA] [--ca ARQUIVO] "
           "[--operator CODIGO]\n"
           "                       [--password-stdin] [--quit-after-start]\n"
           "       lembrete-client --help | -h | --version\n"
           "A senha vem da primeira linha da entrada padrão (--password-stdin) ou da variável "
           "LEMBRETE_PASSWORD;\nsem ela, o cliente pede a senha na janela de entrada.\n"
           "https:// conecta com TLS; --ca ARQUIVO confia nos certificados de ARQUIVO (o "
           "certificado próprio do servidor)\nem vez dos certificados do sistema.\n";
}

std::string ClientOptions::version() {
    return std::string("lembrete-client ") + LEMBRETE_VERSION;
}

ClientOptions ClientOptions::parse(const std::vector<std::string>& args) {
    ClientOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size() || args[i + 1].starts_with('-')) {
                throw std::invalid_argument("Falta o valor de " + arg);
            }
            return args[++i];
        };
        if (arg == "--server") {
            const SchemeSplit split = splitScheme(value());
            const std::string address(split.host);
            options.tls = split.tls;
            const auto colon = address.rfind(':');
            if (colon == std::string::npos || colon == 0) {
                throw std::invalid_argument("Endereço inválido em --server: use HOST:PORTA");
            }
            options.host = address.substr(0, colon);
            options.port = parsePort(address.substr(colon + 1));
        } else if (arg == "--ca") {
            options.caFile = value();
        } else if (arg == "--operator") {
            options.operatorCode = value();
        } else if (arg == "--password-stdin") {
            options.passwordFromStdin = true;
        } else if (arg == "--quit-after-start") {
            options.quitAfterStart = true;
        } else if (arg == "--help" || arg == "-h") {
            options.showHelp = true;
        } else if (arg == "--version") {
            options.showVersion = true;
        } else {
            throw std::invalid_argument("Argumento inesperado: " + arg);
        }
    }
    if (const char* password = std::getenv(kPasswordVariable);
        password != nullptr && !options.passwordFromStdin) {
        options.password = password;
    }
    return options;
}

}  // namespace lembrete
