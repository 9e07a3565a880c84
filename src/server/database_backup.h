// Online backup of the server's SQLite database: a consistent copy taken while servers keep
// writing (SQLite's backup API copies one snapshot, under a read lock that never blocks the
// writer in WAL mode). The copy is written beside the target and renamed over it when
// complete, so a failed backup never leaves a half copy under the target's name.
//
// Restoring is stopping every server on the database, moving the copy over the database file
// (and removing its -wal and -shm files), and starting again. PostgreSQL has pg_dump.
#pragma once

#include <string>

namespace lembrete {

class StoreConnection;

// Throws std::runtime_error (Portuguese message) on failure and for a PostgreSQL store.
void backupDatabase(StoreConnection& connection, const std::string& target);

}  // namespace lembrete
