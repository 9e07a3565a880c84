// The memory of a process as /proc reports it, for tests that bound a server's memory.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace lembrete::testing {

// "VmRSS" (now) or "VmHWM" (peak) of a process, in bytes; 0 when it cannot be read.
std::size_t processMemory(pid_t pid, const std::string& key);

}  // namespace lembrete::testing
