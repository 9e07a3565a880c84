// CommandLine: the arguments of lembrete-server.
//
//   lembrete-server [--db sqlite:PATH | --db postgresql://...] [--listen HOST:PORT] [--threads N]
//   lembrete-server [--db ...] operator add CODE
//   lembrete-server [--db ...] operator passwd CODE
#pragma once

#include <string>
#include <vector>

namespace lembrete {

struct CommandLine {
    enum class Action { Serve, AddOperator, ChangePassword, Help };

    Action action = Action::Serve;
    std::string database = "sqlite:lembrete.db";
    std::string host = "127.0.0.1";
    int port = 8300;
    int threads = 16;
    std::string operatorCode;

    // Throws std::invalid_argument (Portuguese message) for a bad command line.
    static CommandLine parse(const std::vector<std::string>& args);
    static const char* usage();
};

}  // namespace lembrete
