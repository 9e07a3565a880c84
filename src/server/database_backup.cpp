#include "server/database_backup.h"

#include <soci/sqlite3/soci-sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "server/store_connection.h"

namespace lembrete {
namespace {

using sqlite_api::sqlite3;

struct CloseDatabase {
    void operator()(sqlite3* database) const { sqlite_api::sqlite3_close(database); }
};

[[noreturn]] void fail(const std::string& target, sqlite3* database) {
    std::filesystem::remove(target + ".parcial");
    throw std::runtime_error("Falha ao copiar o banco de dados para " + target + ": " +
                             sqlite_api::sqlite3_errmsg(database));
}

}  // namespace

void backupDatabase(StoreConnection& connection, const std::string& target) {
    if (connection.backend() != Backend::Sqlite) {
        throw std::runtime_error(
            "A cópia com backup é só para SQLite; para PostgreSQL use pg_dump (por exemplo, "
            "pg_dump -Fc -f lembrete.dump NOME_DO_BANCO) e pg_restore para voltar.");
    }
    auto* source =
        static_cast<soci::sqlite3_session_backend*>(connection.session().get_backend())->conn_;
    const std::string partial = target + ".parcial";
    std::filesystem::remove(partial);
    sqlite3* opened = nullptr;
    const int openResult = sqlite_api::sqlite3_open(partial.c_str(), &opened);
    const std::unique_ptr<sqlite3, CloseDatabase> copy(opened);
    if (openResult != SQLITE_OK) {
        fail(target, copy.get());
    }
    auto* backup = sqlite_api::sqlite3_backup_init(copy.get(), "main", source, "main");
    if (!backup) {
        fail(target, copy.get());
    }
    // All pages in one step: one snapshot, whatever the writers do meanwhile.
    const int stepResult = sqlite_api::sqlite3_backup_step(backup, -1);
    sqlite_api::sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE) {
        fail(target, copy.get());
    }
    std::filesystem::rename(partial, target);
}

}  // namespace lembrete
