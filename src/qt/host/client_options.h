// ClientOptions: the command line of lembrete-client.
//
//   lembrete-client [--server [https://]HOST:PORT] [--ca FILE] [--operator CODE]
//                   [--password-stdin] [--quit-after-start] | --help | -h | --version
//
// "https://" connects over TLS ("http://" or no scheme: plain HTTP); --ca FILE trusts the
// certificates of FILE (a server's own certificate) instead of the system's.
// The password never goes on the command line: --password-stdin reads it from the first line
// of standard input, otherwise the environment variable LEMBRETE_PASSWORD gives it. With an
// operator and a password the client logs in without asking; the login dialog appears only
// when something is missing or the login fails. --quit-after-start prints how long the start
// took (login to the agenda shown with its list) and quits: the start-up measurement.
// --help, -h and --version ask for the usage or the version only: the caller prints it and
// quits without opening a window. An option is never read as the value of the one before.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lembrete {

struct ClientOptions {
    std::optional<std::string> host;
    std::optional<int> port;
    std::optional<bool> tls;  // set when --server names a scheme
    std::optional<std::string> caFile;
    std::optional<std::string> operatorCode;
    std::optional<std::string> password;
    bool passwordFromStdin = false;
    bool quitAfterStart = false;
    bool showHelp = false;
    bool showVersion = false;

    static constexpr const char* kPasswordVariable = "LEMBRETE_PASSWORD";

    // Throws std::invalid_argument (Portuguese message) for a bad command line. The
    // environment's password is taken here; standard input is read by the caller.
    static ClientOptions parse(const std::vector<std::string>& args);
    static const char* usage();
    // "lembrete-client VERSION".
    static std::string version();
};

}  // namespace lembrete
