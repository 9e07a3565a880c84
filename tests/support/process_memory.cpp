#include "support/process_memory.h"

#include <fstream>

namespace lembrete::testing {

std::size_t processMemory(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(key + ":")) {
            return std::stoull(line.substr(key.size() + 1)) * 1024;
        }
    }
    return 0;
}

}  // namespace lembrete::testing
