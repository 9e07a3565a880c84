#include "server/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

namespace lembrete {
namespace {

// Turns terminal echo off for its lifetime.
class EchoOff {
  public:
    EchoOff() {
        tcgetattr(STDIN_FILENO, &saved_);
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() { tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_); }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    termios saved_{};
};

std::string readLine() {
    std::string line;
    if (!std::getline(std::cin, line)) {
        throw std::runtime_error("Senha não informada.");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::string promptHidden(const char* prompt) {
    std::cerr << prompt << std::flush;
    EchoOff echoOff;
    auto line = readLine();
    std::cerr << '\n';
    return line;
}

}  // namespace

std::string readNewPassword() {
    std::string password;
    if (isatty(STDIN_FILENO)) {
        password = promptHidden("Senha: ");
        if (promptHidden("Confirme a senha: ") != password) {
            throw std::runtime_error("As senhas não conferem.");
        }
    } else {
        password = readLine();
    }
    if (password.empty()) {
        throw std::runtime_error("A senha não pode ser vazia.");
    }
    return password;
}

}  // namespace lembrete
