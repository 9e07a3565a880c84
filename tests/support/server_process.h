// ServerProcess: a real lembrete-server child process on a free loopback port, with its SQLite
// file in a temporary folder of its own; stopped (SIGTERM) and the folder removed at the end.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lembrete::testing {

class ServerProcess {
  public:
    // `databaseArgument` ("sqlite:…", "postgresql://…") shares a database with other servers;
    // empty: a new SQLite file of this server's own.
    explicit ServerProcess(std::string databaseArgument = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts the server (again, after stop() or kill()) on the same port and database, and
    // returns once it accepts connections.
    // `options` go on the server's command line (e.g. {"--session-idle", "2s"}).
    void start(const std::vector<std::string>& options = {});
    // start() in two steps, for servers started side by side.
    void launch(const std::vector<std::string>& options = {});
    void awaitListening();
    // Arguments added to the server's command line from the next start on (e.g. TLS files).
    void setExtraArguments(std::vector<std::string> arguments) {
        extraArguments_ = std::move(arguments);
    }
    // Sends `signal` and waits for the process; returns its wait status.
    int stop(int signal = 15);

    int port() const { return port_; }
    std::filesystem::path database() const { return folder_ / "lembrete.db"; }
    const std::string& databaseArgument() const { return databaseArgument_; }
    pid_t pid() const { return pid_; }
    std::filesystem::path log() const { return folder_ / "server.log"; }

    // Runs lembrete-server with `args` (plus --db of this server), `input` on standard input;
    // returns the exit status; its standard output goes to `output` when given, else to the log.
    int runCommand(const std::vector<std::string>& args, const std::string& input,
                   std::string* output = nullptr) const;
    // `operator add CODE` with the password on standard input; throws when it fails.
    void addOperator(const std::string& code, const std::string& password) const;

  private:
    std::filesystem::path folder_;
    std::string databaseArgument_;
    int port_ = 0;
    pid_t pid_ = -1;
    std::vector<std::string> extraArguments_;
};

}  // namespace lembrete::testing
