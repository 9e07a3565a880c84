#include "server/database_location.h"

#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

namespace lembrete {
namespace {

// SOCI reads its connect string as "keyword=value" pairs and mangles a URI, so libpq itself
// turns the URI into that form.
std::string postgresqlKeywords(const std::string& uri) {
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(uri.c_str(), &error), PQconninfoFree);
    if (!options) {
        const std::string message = error ? error : "";
        PQfreemem(error);
        throw std::invalid_argument("URI do PostgreSQL inválida: " + message);
    }
    std::string keywords;
    for (const auto* option = options.get(); option->keyword; ++option) {
        if (!option->val) {
            continue;
        }
        std::string value;
        for (const char* c = option->val; *c; ++c) {
            if (*c == '\\' || *c == '\'') {
                value.push_back('\\');
            }
            value.push_back(*c);
        }
        keywords +=
            (keywords.empty() ? "" : " ") + std::string(option->keyword) + "='" + value + "'";
    }
    return keywords;
}

}  // namespace

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
        return postgresqlKeywords(target);
    }
    // SOCI reads "name=value" pairs; quoting keeps paths with spaces whole.
    return "db=\"" + target + "\"";
}

}  // namespace lembrete
