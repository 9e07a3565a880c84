// DatabaseLocation: which database the server keeps its tables in, from the --db argument.
//
//   sqlite:PATH                 one SQLite file (created when missing)
//   postgresql://USER@HOST...   a PostgreSQL connection URI, handed to libpq as it is
#pragma once

#include <string>
#include <string_view>

namespace lembrete {

enum class Backend { Sqlite, Postgresql };

struct DatabaseLocation {
    Backend backend = Backend::Sqlite;
    std::string target;  // the SQLite path or the PostgreSQL URI

    // Throws std::invalid_argument (Portuguese message) for anything else.
    static DatabaseLocation parse(std::string_view text);
    // The SOCI backend name and connect string.
    const char* backendName() const;
    std::string connectString() const;
};

}  // namespace lembrete
