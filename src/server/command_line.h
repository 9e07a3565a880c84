// CommandLine: the arguments of lembrete-server.
//
//   lembrete-server [--db sqlite:PATH | --db postgresql://...] [--listen HOST:PORT] [--threads N]
//                   [--tls-cert FILE --tls-key FILE]
//   lembrete-server [--db ...] operator add|passwd|disable|enable|feed CODE
//   lembrete-server [--db ...] operator list
//   lembrete-server [--db ...] operator remove CODE --yes
//   lembrete-server [--db ...] backup FILE
//   lembrete-server [--db ...] export --operator CODE [--from DATE] [--to DATE]
//   lembrete-server --help | --version
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "data/date.h"

namespace lembrete {

struct CommandLine {
    enum class Action { Serve, Operator, Backup, Export, Help, Version };

    Action action = Action::Serve;
    std::string database = "sqlite:lembrete.db";
    std::string host = "127.0.0.1";
    int port = 8300;
    int threads = 16;
    std::string tlsCertificate;  // both empty: plain HTTP
    std::string tlsKey;
    std::chrono::seconds sessionIdle = std::chrono::hours(8);
    std::string operatorVerb;  // operator: one of operatorVerbs()
    std::string operatorCode;
    bool confirmed = false;  // --yes
    std::string backupFile;
    // export: the first and last day (dd/mm/yyyy or yyyy-mm-dd), empty when not given.
    std::optional<Date> from;
    std::optional<Date> to;

    // Throws std::invalid_argument (Portuguese message) for a bad command line.
    static CommandLine parse(const std::vector<std::string>& args);
    static const char* usage();
    static std::string version();  // "lembrete-server X.Y.Z"
    // The verbs of `operator`, and whether each takes an operator code.
    struct OperatorVerb {
        const char* name;
        bool takesCode;
    };
    static const std::vector<OperatorVerb>& operatorVerbs();
};

}  // namespace lembrete
