#include "server/schema.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/alarm_queries.h"
#include "server/reminder_queries.h"
#include "server/search_index.h"
#include "server/session_watch.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

const std::vector<std::vector<const char*>> kMigrations = {
    // Version 1.
    {
        "CREATE TABLE ATIVPESSOAL ("
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " NRATIVPESS VARCHAR(10) NOT NULL,"
        " DSREFEATPESS VARCHAR(100),"
        " DSREFEBUSCA VARCHAR(100) NOT NULL,"
        " DTATIVPESS VARCHAR(23) NOT NULL,"
        " IDSITUATPESS VARCHAR(1) NOT NULL,"
        " IDALARATPESS VARCHAR(1) NOT NULL,"
        " QTSEGUATPESS DOUBLE PRECISION,"
        " IDUNITATPESS VARCHAR(1),"
        " NRPRIOATPESS VARCHAR(3),"
        " NRREPETATIVP VARCHAR(10),"
        " PRIMARY KEY (CDOPERADOR, NRATIVPESS))",
        // The agenda's day query and the marked days read this index only.
        "CREATE INDEX ATIVPESSOAL_DATA ON ATIVPESSOAL (CDOPERADOR, DTATIVPESS)",
        "CREATE TABLE DESCATIVPESSOAL ("
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " NRATIVPESS VARCHAR(10) NOT NULL,"
        " TXATIVPESS TEXT,"
        " PRIMARY KEY (CDOPERADOR, NRATIVPESS))",
        "CREATE TABLE SEQATIVPESSOAL ("
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " IDSEQUENCIA VARCHAR(1) NOT NULL,"
        " NRULTIMO BIGINT NOT NULL,"
        " PRIMARY KEY (CDOPERADOR, IDSEQUENCIA))",
        "CREATE TABLE OPERADOR ("
        " CDOPERADOR VARCHAR(12) NOT NULL PRIMARY KEY,"
        " DSHASHSENHA VARCHAR(255) NOT NULL)",
        "CREATE TABLE SESSAO ("
        " DSHASHTOKEN VARCHAR(64) NOT NULL PRIMARY KEY,"
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " DTCRIACAO BIGINT NOT NULL)",
        "CREATE INDEX SESSAO_OPERADOR ON SESSAO (CDOPERADOR)",
    },
    // Version 2: the rule of each series, and its occurrences found by their series.
    {
        "CREATE TABLE SERIEATIVPESSOAL ("
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " NRREPETATIVP VARCHAR(10) NOT NULL,"
        " IDTIPOREPET VARCHAR(1) NOT NULL,"
        " NRINTERREPET VARCHAR(2) NOT NULL,"
        " IDDIASREPET VARCHAR(7) NOT NULL,"
        " IDMODOMENSAL VARCHAR(1) NOT NULL,"
        " DTINICREPET VARCHAR(23) NOT NULL,"
        " DTTERMREPET VARCHAR(23),"
        " PRIMARY KEY (CDOPERADOR, NRREPETATIVP))",
        "CREATE INDEX ATIVPESSOAL_SERIE ON ATIVPESSOAL (CDOPERADOR, NRREPETATIVP, DTATIVPESS)",
    },
    // Version 3: each operator's calendar feed token (its hash), apart from the sessions.
    {
        "CREATE TABLE CALENDARIOOPERADOR ("
        " CDOPERADOR VARCHAR(12) NOT NULL PRIMARY KEY,"
        " DSHASHTOKEN VARCHAR(64) NOT NULL UNIQUE)",
    },
    // Version 4: the calendar event each imported reminder came from.
    {
        "CREATE TABLE ICALATIVPESSOAL ("
        " CDOPERADOR VARCHAR(12) NOT NULL,"
        " NRATIVPESS VARCHAR(10) NOT NULL,"
        " DSCHAVEICAL VARCHAR(1000) NOT NULL,"
        " PRIMARY KEY (CDOPERADOR, NRATIVPESS))",
    },
    // Version 5: when each reminder next rings (alarm_queries.h), indexed over the rows that
    // ring; the times of the existing rows are computed by kProgramSteps.
    {
        "ALTER TABLE ATIVPESSOAL ADD COLUMN DTALARMEATPESS VARCHAR(23)",
        "CREATE INDEX ATIVPESSOAL_ALARME ON ATIVPESSOAL (CDOPERADOR, DTALARMEATPESS)"
        " WHERE DTALARMEATPESS IS NOT NULL",
    },
    // Version 6: sessions end when idle too; operator codes are kept in upper case ("admin"
    // logs in as ADMIN), so the codes written as typed before are raised with their rows.
    {
        "ALTER TABLE SESSAO ADD COLUMN DTULTIMOUSO BIGINT",
        "UPDATE SESSAO SET DTULTIMOUSO = DTCRIACAO",
        "UPDATE OPERADOR SET CDOPERADOR = UPPER(CDOPERADOR) WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE SESSAO SET CDOPERADOR = UPPER(CDOPERADOR) WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE ATIVPESSOAL SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE DESCATIVPESSOAL SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE SEQATIVPESSOAL SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE SERIEATIVPESSOAL SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE CALENDARIOOPERADOR SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
        "UPDATE ICALATIVPESSOAL SET CDOPERADOR = UPPER(CDOPERADOR)"
        " WHERE CDOPERADOR <> UPPER(CDOPERADOR)",
    },
    // Version 7: the search key of each description, so that the search over all dates reads
    // descriptions as it reads references; the keys of the existing rows come from kProgramSteps.
    {
        "ALTER TABLE DESCATIVPESSOAL ADD COLUMN DSDESCBUSCA TEXT",
    },
    // Version 8: the feed token itself, so the desktop can show its address again (see
    // calendar_feed.h); a feed issued before keeps working but has none to show.
    {
        "ALTER TABLE CALENDARIOOPERADOR ADD COLUMN DSTOKEN VARCHAR(64)",
    },
    // Version 9: the search keys apart from the rows, with a trigram index over them
    // (search_index.h); its tables differ between the databases, so kProgramSteps makes them.
    {},
    // Version 10: on PostgreSQL, every session that ends or may end early is notified to the
    // servers, whose session caches forget it (session_watch.h).
    {},
};

// What a version needs beyond its SQL, run after it in the same transaction.
const std::map<int, void (*)(StoreConnection&)> kProgramSteps = {
    {5, AlarmQueries::armAll},
    {7, ReminderQueries::keyAllDescriptions},
    {9, SearchIndex::create},
    {10, SessionWatch::createTrigger},
};

int storedVersion(soci::session& session) {
    session << "CREATE TABLE IF NOT EXISTS LMBVERSAOESQUEMA (NRVERSAO INTEGER NOT NULL)";
    int version = 0;
    soci::indicator indicator = soci::i_null;
    session << "SELECT MAX(NRVERSAO) FROM LMBVERSAOESQUEMA", soci::into(version, indicator);
    return indicator == soci::i_ok ? version : 0;
}

}  // namespace

std::string postgresTriggerFunction(std::string_view name, std::string_view body) {
    return "CREATE FUNCTION " + std::string(name) +
           "() RETURNS TRIGGER LANGUAGE plpgsql AS $$ BEGIN " + std::string(body) +
           " RETURN NULL; END $$";
}

int latestSchemaVersion() {
    return static_cast<int>(kMigrations.size());
}

void migrateSchema(StoreConnection& connection, int target) {
    auto& session = connection.session();
    // Several servers or commands may open a new database at once: the version is read and
    // raised in one write transaction, so one of them migrates and the others find it done.
    WriteTransaction transaction(connection);
    if (connection.backend() == Backend::Postgresql) {
        // PostgreSQL has no lock to take before the version table exists.
        session << "SELECT pg_advisory_xact_lock(8300)";
    }
    const int version = storedVersion(session);
    const int latest = latestSchemaVersion();
    if (version > latest) {
        throw std::runtime_error("O banco de dados tem o esquema versão " +
                                 std::to_string(version) + ", mais novo que o deste servidor (" +
                                 std::to_string(latest) + ").");
    }
    const int reached = std::min(target, latest);
    for (int next = version + 1; next <= reached; ++next) {
        for (const char* step : kMigrations[next - 1]) {
            session << step;
        }
        if (const auto program = kProgramSteps.find(next); program != kProgramSteps.end()) {
            program->second(connection);
        }
    }
    if (reached > version) {
        session << "DELETE FROM LMBVERSAOESQUEMA";
        session << "INSERT INTO LMBVERSAOESQUEMA (NRVERSAO) VALUES (:v)", soci::use(reached);
    }
    transaction.commit();
}

}  // namespace lembrete
