// The `operator` verbs of lembrete-server's command line, run on an open store connection:
// add, passwd, list, disable, enable, remove (which needs --yes) and feed. Messages go to
// standard error, listings and tokens to standard output; failures throw std::runtime_error
// with a Portuguese message.
#pragma once

namespace lembrete {

struct CommandLine;
class StoreConnection;

void runOperatorCommand(const CommandLine& line, StoreConnection& connection);

}  // namespace lembrete
