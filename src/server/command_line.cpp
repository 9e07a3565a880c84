#include "server/command_line.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace lembrete {
namespace {

int parseNumber(const std::string& text, int low, int high, const std::string& what) {
    int number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc{} || end != text.data() + text.size() || number < low || number > high) {
        throw std::invalid_argument(what + ": " + text);
    }
    return number;
}

// "8h", "30m", "90s": a positive number of hours, minutes or seconds.
std::chrono::seconds parseDuration(const std::string& text) {
    const char unit = text.empty() ? ' ' : text.back();
    const int scale = unit == 'h' ? 3600 : unit == 'm' ? 60 : unit == 's' ? 1 : 0;
    if (scale == 0) {
        throw std::invalid_argument("Duração inválida em --session-idle: " + text +
                                    " (use, por exemplo, 8h, 30m ou 90s)");
    }
    return std::chrono::seconds(static_cast<long long>(parseNumber(text.substr(0, text.size() - 1),
                                                                   1, 1000000, "Duração")) *
                                scale);
}

Date parseDay(const std::string& text, const std::string& option) {
    const auto day = Date::parse(text);
    if (!day) {
        throw std::invalid_argument("Data inválida em " + option +
                                    ": use dd/mm/aaaa ou aaaa-mm-dd");
    }
    return *day;
}

}  // namespace

const char* CommandLine::usage() {
    return "Uso:\n"
           "  lembrete-server [--db sqlite:ARQUIVO | --db postgresql://...] [--listen HOST:PORTA] "
           "[--threads N]\n"
           "                  [--tls-cert CERTIFICADO.pem --tls-key CHAVE.pem]\n"
           "                  [--session-idle DURACAO]   (sessão ociosa termina: 8h, 30m, 90s)\n"
           "  lembrete-server [--db ...] operator add|passwd|disable|enable|feed CODIGO\n"
           "  lembrete-server [--db ...] operator list\n"
           "  lembrete-server [--db ...] operator remove CODIGO --yes   (com os seus lembretes)\n"
           "  lembrete-server [--db sqlite:ARQUIVO] backup COPIA   (cópia do banco em uso)\n"
           "  lembrete-server [--db ...] export --operator CODIGO [--from DATA] [--to DATA] > "
           "arquivo.ics\n"
           "  lembrete-server --help | --version\n"
           "Padrões: --db sqlite:lembrete.db (na pasta atual), --listen 127.0.0.1:8300, --threads "
           "16, --session-idle 8h.\n"
           "Códigos de operador valem em maiúsculas ou minúsculas; senhas têm ao menos 8 "
           "caracteres.\n"
           "A senha é lida do terminal sem eco, ou da entrada padrão quando ela não é um "
           "terminal.\n";
}

std::string CommandLine::version() {
    return std::string("lembrete-server ") + LEMBRETE_VERSION;
}

const std::vector<CommandLine::OperatorVerb>& CommandLine::operatorVerbs() {
    static const std::vector<OperatorVerb> verbs{
        {"add", true},    {"passwd", true}, {"list", false}, {"disable", true},
        {"enable", true}, {"remove", true}, {"feed", true}};
    return verbs;
}

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
    CommandLine line;
    std::size_t i = 0;
    const auto value = [&](const std::string& option) -> const std::string& {
        if (i + 1 >= args.size()) {
            throw std::invalid_argument("Falta o valor de " + option);
        }
        return args[++i];
    };
    for (; i < args.size(); ++i) {
        const auto& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.action = Action::Help;
        } else if (arg == "--version") {
            line.action = Action::Version;
        } else if (arg == "--db") {
            line.database = value(arg);
        } else if (arg == "--listen") {
            const auto& address = value(arg);
            const auto colon = address.rfind(':');
            if (colon == std::string::npos || colon == 0) {
                throw std::invalid_argument("Endereço inválido em --listen: use HOST:PORTA");
            }
            line.host = address.substr(0, colon);
            line.port = parseNumber(address.substr(colon + 1), 1, 65535, "Porta inválida");
        } else if (arg == "--tls-cert") {
            line.tlsCertificate = value(arg);
        } else if (arg == "--tls-key") {
            line.tlsKey = value(arg);
        } else if (arg == "--threads") {
            line.threads = parseNumber(value(arg), 1, 256, "Número de threads inválido");
        } else if (arg == "--session-idle") {
            line.sessionIdle = parseDuration(value(arg));
        } else if (arg == "--yes") {
            line.confirmed = true;
        } else if (arg == "operator" && line.action != Action::Help) {
            const auto& verbs = operatorVerbs();
            const auto verb =
                i + 1 < args.size()
                    ? std::find_if(verbs.begin(), verbs.end(),
                                   [&](const OperatorVerb& v) { return v.name == args[i + 1]; })
                    : verbs.end();
            if (i + 1 < args.size() && (args[i + 1] == "--help" || args[i + 1] == "-h")) {
                line.action = Action::Help;
                continue;
            }
            if (verb == verbs.end()) {
                throw std::invalid_argument(
                    "Informe a ação de operator: add, passwd, list, disable, enable, remove ou "
                    "feed.");
            }
            line.action = Action::Operator;
            line.operatorVerb = verb->name;
            ++i;
            if (verb->takesCode) {
                line.operatorCode = value("operator " + line.operatorVerb);
            }
        } else if (arg == "backup") {
            line.action = Action::Backup;
            line.backupFile = value(arg);
        } else if (arg == "export") {
            line.action = Action::Export;
        } else if (line.action == Action::Export && arg == "--operator") {
            line.operatorCode = value(arg);
        } else if (line.action == Action::Export && (arg == "--from" || arg == "--to")) {
            (arg == "--from" ? line.from : line.to) = parseDay(value(arg), arg);
        } else {
            throw std::invalid_argument("Argumento inesperado: " + arg);
        }
    }
    if (line.action == Action::Export && line.operatorCode.empty()) {
        throw std::invalid_argument("Falta --operator CODIGO em export");
    }
    if (line.tlsCertificate.empty() != line.tlsKey.empty()) {
        throw std::invalid_argument("Para servir com TLS informe --tls-cert e --tls-key.");
    }
    return line;
}

}  // namespace lembrete
