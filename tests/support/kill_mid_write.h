// For the suites that kill a real lembrete-server while it writes, then look at its SQLite file.
#pragma once

#include <signal.h>
#include <soci/soci.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <string>

#include "data/app_server.h"
#include "support/server_process.h"

namespace lembrete::testing {

// Runs `call` on another thread and kills the server (SIGKILL) once its write-ahead log has
// grown by more than `growth` bytes — the transaction is writing — or the reply has come; then
// starts the server again. Returns the reply: a failure when the kill came first.
inline ServerResult killMidWrite(ServerProcess& server, const std::function<ServerResult()>& call,
                                 std::uintmax_t growth) {
    const auto wal = std::filesystem::path(server.database().string() + "-wal");
    const auto walSize = [&]() -> std::uintmax_t {
        return std::filesystem::exists(wal) ? std::filesystem::file_size(wal) : 0;
    };
    const auto walBefore = walSize();
    auto sending = std::async(std::launch::async, call);
    while (sending.wait_for(std::chrono::microseconds(200)) != std::future_status::ready &&
           walSize() <= walBefore + growth) {
    }
    server.stop(SIGKILL);
    ServerResult outcome = sending.get();
    server.start();
    return outcome;
}

// What PRAGMA integrity_check says of the server's SQLite file ("ok" when sound).
inline std::string integrityOf(const ServerProcess& server) {
    soci::session database("sqlite3", "db=" + server.database().string());
    std::string integrity;
    database << "PRAGMA integrity_check", soci::into(integrity);
    return integrity;
}

}  // namespace lembrete::testing
