#include "server/search_index.h"

#include <soci/soci.h>

#include <algorithm>

#include "server/schema.h"
#include "server/sql_statement.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

// A trigram index finds texts of at least this many characters.
constexpr std::ptrdiff_t kTrigram = 3;

// What each write of a key does to the narrow table; the triggers of both backends run these.
constexpr const char* kReminderAdded =
    "INSERT INTO BUSCAATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEBUSCA, DSDESCBUSCA)"
    " VALUES (NEW.CDOPERADOR, NEW.NRATIVPESS, NEW.DSREFEBUSCA, (SELECT D.DSDESCBUSCA FROM"
    " DESCATIVPESSOAL D WHERE D.CDOPERADOR = NEW.CDOPERADOR AND D.NRATIVPESS = NEW.NRATIVPESS))";
constexpr const char* kReferenceChanged =
    "UPDATE BUSCAATIVPESSOAL SET DSREFEBUSCA = NEW.DSREFEBUSCA"
    " WHERE CDOPERADOR = NEW.CDOPERADOR AND NRATIVPESS = NEW.NRATIVPESS";
constexpr const char* kReminderRemoved =
    "DELETE FROM BUSCAATIVPESSOAL WHERE CDOPERADOR = OLD.CDOPERADOR AND NRATIVPESS = "
    "OLD.NRATIVPESS";
constexpr const char* kDescriptionWritten =
    "UPDATE BUSCAATIVPESSOAL SET DSDESCBUSCA = NEW.DSDESCBUSCA"
    " WHERE CDOPERADOR = NEW.CDOPERADOR AND NRATIVPESS = NEW.NRATIVPESS";
constexpr const char* kDescriptionRemoved =
    "UPDATE BUSCAATIVPESSOAL SET DSDESCBUSCA = NULL"
    " WHERE CDOPERADOR = OLD.CDOPERADOR AND NRATIVPESS = OLD.NRATIVPESS";

constexpr const char* kBackfill =
    "INSERT INTO BUSCAATIVPESSOAL (CDOPERADOR, NRATIVPESS, DSREFEBUSCA, DSDESCBUSCA)"
    " SELECT A.CDOPERADOR, A.NRATIVPESS, A.DSREFEBUSCA, D.DSDESCBUSCA FROM ATIVPESSOAL A"
    " LEFT JOIN DESCATIVPESSOAL D"
    " ON D.CDOPERADOR = A.CDOPERADOR AND D.NRATIVPESS = A.NRATIVPESS";

// `text` between double quotes, each of its own doubled: an SQL identifier, or a phrase of the
// full-text syntax.
std::string doubleQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string sqliteTrigger(const std::string& name, const std::string& event,
                          const std::string& table, const std::string& body) {
    return "CREATE TRIGGER " + name + " AFTER " + event + " ON " + table + " FOR EACH ROW" +
           " BEGIN " + body + "; END";
}

void createOnSqlite(soci::session& session) {
    // The integer key lets the full-text table point at its row.
    session << "CREATE TABLE BUSCAATIVPESSOAL ("
               " NRBUSCA INTEGER PRIMARY KEY,"
               " CDOPERADOR VARCHAR(12) NOT NULL,"
               " NRATIVPESS VARCHAR(10) NOT NULL,"
               " DSREFEBUSCA VARCHAR(100),"
               " DSDESCBUSCA TEXT,"
               " UNIQUE (CDOPERADOR, NRATIVPESS))";
    // The keys are folded already: the tokenizer keeps their bytes, so a match is exactly a
    // substring of a key.
    session << "CREATE VIRTUAL TABLE BUSCATRIGRAMA USING fts5(DSREFEBUSCA, DSDESCBUSCA,"
               " content='BUSCAATIVPESSOAL', content_rowid='NRBUSCA',"
               " tokenize='trigram case_sensitive 1')";
    session << kBackfill;
    session << "INSERT INTO BUSCATRIGRAMA (BUSCATRIGRAMA) VALUES ('rebuild')";
    const std::string indexed =
        "INSERT INTO BUSCATRIGRAMA (rowid, DSREFEBUSCA, DSDESCBUSCA)"
        " VALUES (NEW.NRBUSCA, NEW.DSREFEBUSCA, NEW.DSDESCBUSCA)";
    const std::string unindexed =
        "INSERT INTO BUSCATRIGRAMA (BUSCATRIGRAMA, rowid, DSREFEBUSCA, DSDESCBUSCA)"
        " VALUES ('delete', OLD.NRBUSCA, OLD.DSREFEBUSCA, OLD.DSDESCBUSCA)";
    for (const auto& trigger : {
             sqliteTrigger("BUSCATRIGRAMA_INCLUI", "INSERT", "BUSCAATIVPESSOAL", indexed),
             sqliteTrigger("BUSCATRIGRAMA_EXCLUI", "DELETE", "BUSCAATIVPESSOAL", unindexed),
             sqliteTrigger("BUSCATRIGRAMA_ALTERA", "UPDATE", "BUSCAATIVPESSOAL",
                           unindexed + "; " + indexed),
             sqliteTrigger("ATIVPESSOAL_BUSCA_INCLUI", "INSERT", "ATIVPESSOAL", kReminderAdded),
             sqliteTrigger("ATIVPESSOAL_BUSCA_ALTERA", "UPDATE OF DSREFEBUSCA", "ATIVPESSOAL",
                           kReferenceChanged),
             sqliteTrigger("ATIVPESSOAL_BUSCA_EXCLUI", "DELETE", "ATIVPESSOAL", kReminderRemoved),
             sqliteTrigger("DESCATIVPESSOAL_BUSCA_INCLUI", "INSERT", "DESCATIVPESSOAL",
                           kDescriptionWritten),
             sqliteTrigger("DESCATIVPESSOAL_BUSCA_ALTERA", "UPDATE OF DSDESCBUSCA",
                           "DESCATIVPESSOAL", kDescriptionWritten),
             sqliteTrigger("DESCATIVPESSOAL_BUSCA_EXCLUI", "DELETE", "DESCATIVPESSOAL",
                           kDescriptionRemoved),
         }) {
        session << trigger;
    }
}

// The schema holding pg_trgm, created if it can be (a trusted extension: the owner of the
// database needs no superuser); empty when it is not there.
std::string trigramSchema(soci::session& session) {
    session << "SAVEPOINT LMB_TRIGRAMA";
    try {
        session << "CREATE EXTENSION IF NOT EXISTS pg_trgm";
        session << "RELEASE SAVEPOINT LMB_TRIGRAMA";
    } catch (const soci::soci_error&) {
        session << "ROLLBACK TO SAVEPOINT LMB_TRIGRAMA";
    }
    std::string schema;
    soci::indicator indicator = soci::i_null;
    session << "SELECT N.NSPNAME FROM PG_EXTENSION E JOIN PG_NAMESPACE N ON N.OID = E.EXTNAMESPACE"
               " WHERE E.EXTNAME = 'pg_trgm'",
        soci::into(schema, indicator);
    return indicator == soci::i_ok ? schema : std::string();
}

void createOnPostgresql(soci::session& session) {
    session << "CREATE TABLE BUSCAATIVPESSOAL ("
               " CDOPERADOR VARCHAR(12) NOT NULL,"
               " NRATIVPESS VARCHAR(10) NOT NULL,"
               " DSREFEBUSCA VARCHAR(100),"
               " DSDESCBUSCA TEXT,"
               " PRIMARY KEY (CDOPERADOR, NRATIVPESS))";
    session << kBackfill;
    if (const auto schema = trigramSchema(session); !schema.empty()) {
        const auto operatorClass = doubleQuoted(schema) + ".gin_trgm_ops";
        session << "CREATE INDEX BUSCAATIVPESSOAL_REFE ON BUSCAATIVPESSOAL"
                   " USING GIN (DSREFEBUSCA " +
                       operatorClass + ")";
        session << "CREATE INDEX BUSCAATIVPESSOAL_DESC ON BUSCAATIVPESSOAL"
                   " USING GIN (DSDESCBUSCA " +
                       operatorClass + ")";
    }
    const auto ifThen = [](const char* operation, const char* statement) {
        return std::string(" IF TG_OP = '") + operation + "' THEN " + statement + "; END IF;";
    };
    session << postgresTriggerFunction("LMB_BUSCA_LEMBRETE",
                                       ifThen("INSERT", kReminderAdded) +
                                           ifThen("UPDATE", kReferenceChanged) +
                                           ifThen("DELETE", kReminderRemoved));
    session << postgresTriggerFunction("LMB_BUSCA_DESCRICAO",
                                       ifThen("INSERT", kDescriptionWritten) +
                                           ifThen("UPDATE", kDescriptionWritten) +
                                           ifThen("DELETE", kDescriptionRemoved));
    session << "CREATE TRIGGER ATIVPESSOAL_BUSCA AFTER INSERT OR DELETE OR UPDATE OF DSREFEBUSCA"
               " ON ATIVPESSOAL FOR EACH ROW EXECUTE FUNCTION LMB_BUSCA_LEMBRETE()";
    session << "CREATE TRIGGER DESCATIVPESSOAL_BUSCA AFTER INSERT OR DELETE OR UPDATE OF"
               " DSDESCBUSCA ON DESCATIVPESSOAL FOR EACH ROW EXECUTE FUNCTION"
               " LMB_BUSCA_DESCRICAO()";
}

}  // namespace

void SearchIndex::create(StoreConnection& connection) {
    if (connection.backend() == Backend::Sqlite) {
        createOnSqlite(connection.session());
    } else {
        createOnPostgresql(connection.session());
    }
}

bool SearchIndex::finds(std::string_view key) {
    // Characters are counted by their first bytes (UTF-8 continuation bytes are 10xxxxxx).
    return std::count_if(key.begin(), key.end(), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
           }) >= kTrigram;
}

namespace {

bool usesFullText(Backend backend, std::string_view key) {
    return backend == Backend::Sqlite && SearchIndex::finds(key);
}

}  // namespace

std::string SearchIndex::matchingNumbers(Backend backend, std::string_view key) {
    constexpr const char* keysContain =
        " AND (B.DSREFEBUSCA LIKE :refePattern ESCAPE '\\'"
        " OR B.DSDESCBUSCA LIKE :descPattern ESCAPE '\\')";
    if (usesFullText(backend, key)) {
        // The full-text match yields the candidates, first (CROSS JOIN); the substring match
        // keeps the search what it is on the keys themselves.
        return std::string(
                   "SELECT B.NRATIVPESS AS NRACHADO FROM BUSCATRIGRAMA"
                   " CROSS JOIN BUSCAATIVPESSOAL B ON B.NRBUSCA = BUSCATRIGRAMA.rowid"
                   " WHERE BUSCATRIGRAMA MATCH :phrase AND B.CDOPERADOR = :keyOperator") +
               keysContain;
    }
    // PostgreSQL picks the trigram indexes for this itself when they help.
    return std::string(
               "SELECT B.NRATIVPESS AS NRACHADO FROM BUSCAATIVPESSOAL B"
               " WHERE B.CDOPERADOR = :keyOperator") +
           keysContain;
}

std::string SearchIndex::matchKinds(Backend backend, std::string_view key) {
    return usesFullText(backend, key) ? "tttt" : "ttt";
}

void SearchIndex::bindMatch(SqlStatement& statement, std::size_t first, Backend backend,
                            const std::string& operatorCode, const std::string& key) {
    if (usesFullText(backend, key)) {
        statement.setText(first++, doubleQuoted(key));
    }
    statement.setText(first++, operatorCode);
    const auto pattern = containsPattern(key);
    statement.setText(first++, pattern);
    statement.setText(first, pattern);
}

std::string SearchIndex::containsPattern(std::string_view key) {
    std::string pattern = "%";
    for (const char c : key) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern.push_back('\\');
        }
        pattern.push_back(c);
    }
    pattern.push_back('%');
    return pattern;
}

}  // namespace lembrete
