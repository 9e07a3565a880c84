#include "support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace lembrete::testing {
namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

int freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

bool accepts(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    const bool connected =
        connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return connected;
}

// fork + exec of the server binary; `input` (when not -1) becomes standard input and the
// output goes to `log`.
pid_t spawn(const std::vector<std::string>& args, int input, const std::filesystem::path& log,
            const std::filesystem::path& output = {}) {
    std::vector<char*> argv;
    std::string binary = LEMBRETE_SERVER_BINARY;
    argv.push_back(binary.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // A test run that dies (a crash, a timeout) takes its servers with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (input >= 0) {
            dup2(input, STDIN_FILENO);
        }
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(output.empty() ? out : open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
             STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// A folder no other run has used: process ids come round again, and a run killed on a timeout
// leaves its folder (and its database, with its operators) behind.
std::filesystem::path freshFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() /
                           ("lembrete-server-" + std::to_string(getpid()) + "-XXXXXX"))
                              .string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp " + pattern);
    }
    return pattern;
}

}  // namespace

ServerProcess::ServerProcess(std::string databaseArgument)
    : folder_(freshFolder()),
      databaseArgument_(databaseArgument.empty() ? "sqlite:" + database().string()
                                                 : std::move(databaseArgument)),
      port_(freePort()) {}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        stop(SIGKILL);
    }
    std::filesystem::remove_all(folder_);
}

void ServerProcess::start(const std::vector<std::string>& options) {
    launch(options);
    awaitListening();
}

void ServerProcess::launch(const std::vector<std::string>& options) {
    std::vector<std::string> args{"--db",      databaseArgument(),
                                  "--listen",  "127.0.0.1:" + std::to_string(port_),
                                  "--threads", "8"};
    args.insert(args.end(), extraArguments_.begin(), extraArguments_.end());
    args.insert(args.end(), options.begin(), options.end());
    pid_ = spawn(args, -1, log());
}

void ServerProcess::awaitListening() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!accepts(port_)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("lembrete-server exited at start; see " +
                                     (folder_ / "server.log").string());
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("lembrete-server did not start listening");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int ServerProcess::stop(int signal) {
    int status = 0;
    kill(pid_, signal);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

int ServerProcess::runCommand(const std::vector<std::string>& args, const std::string& input,
                              std::string* output) const {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw std::runtime_error("pipe");
    }
    std::vector<std::string> all{"--db", databaseArgument()};
    all.insert(all.end(), args.begin(), args.end());
    const auto outputFile = folder_ / "command.out";
    const pid_t pid = spawn(all, pipeEnds[0], folder_ / "command.log",
                            output ? outputFile : std::filesystem::path());
    close(pipeEnds[0]);
    const auto written = write(pipeEnds[1], input.data(), input.size());
    close(pipeEnds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (output) {
        std::ifstream stream(outputFile, std::ios::binary);
        output->assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }
    return written == static_cast<ssize_t>(input.size()) && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                              : -1;
}

void ServerProcess::addOperator(const std::string& code, const std::string& password) const {
    if (runCommand({"operator", "add", code}, password + "\n") != 0) {
        throw std::runtime_error("operator add " + code + " failed");
    }
}

}  // namespace lembrete::testing
