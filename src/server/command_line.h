// CommandLine: the arguments of lembrete-server.
//
//   lembrete-server [--db sqlite:PATH | --db postgresql://...] [--listen HOST:PORT] [--threads N]
//                   [--tls-cert FILE --tls-key FILE]
//   lembrete-server [--db ...] operator add CODE
//   lembrete-server [--db ...] operator passwd CODE
//   lembrete-server [--db ...] operator feed CODE
//   lembrete-server [--db ...] export --operator CODE [--from DATE] [--to DATE]
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/date.h"

namespace lembrete {

struct CommandLine {
    enum class Action { Serve, AddOperator, ChangePassword, RenewFeed, Export, Help };

    Action action = Action::Serve;
    std::string database = "sqlite:lembrete.db";
    std::string host = "127.0.0.1";
    int port = 8300;
    int threads = 16;
    std::string tlsCertificate;  // both empty: plain HTTP
    std::string tlsKey;
    std::string operatorCode;
    // export: the first and last day (dd/mm/yyyy or yyyy-mm-dd), empty when not given.
    std::optional<Date> from;
    std::optional<Date> to;

    // Throws std::invalid_argument (Portuguese message) for a bad command line.
    static CommandLine parse(const std::vector<std::string>& args);
    static const char* usage();
};

}  // namespace lembrete
