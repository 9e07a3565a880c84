#include "server/database_location.h"

#include <stdexcept>

namespace lembrete {

DatabaseLocation DatabaseLocation::parse(std::string_view text) {
    if (text.starts_with("sqlite:") && text.size() > 7) {
        return {Backend::Sqlite, std::string(text.substr(7))};
    }
    if (text.starts_with("postgresql://") || text.starts_with("postgres://")) {
        return {Backend::Postgresql, std::string(text)};
    }
    throw std::invalid_argument("Banco de dados inválido: \"" + std::string(text) +
                                "\". Use sqlite:ARQUIVO ou postgresql://...");
}

const char* DatabaseLocation::backendName() const {
    return backend == Backend::Sqlite ? "sqlite3" : "postgresql";
}

std::string DatabaseLocation::connectString() const {
    if (backend == Backend::Postgresql) {
        return target;
    }
    // SOCI reads "name=value" pairs; quoting keeps paths with spaces whole.
    return "db=\"" + target + "\"";
}

}  // namespace lembrete
