// The tables of earlier schema versions, as the server created them, for the suites that check
// that a database made by an older server is brought up to date without losing a row.
#pragma once

#include <soci/soci.h>

namespace lembrete::testing {

// Version 1: reminders, descriptions, sequences, operators and sessions.
inline void createVersionOneTables(soci::session& database) {
    database << "CREATE TABLE ATIVPESSOAL (CDOPERADOR VARCHAR(12) NOT NULL, NRATIVPESS VARCHAR(10) "
                "NOT NULL, DSREFEATPESS VARCHAR(100), DSREFEBUSCA VARCHAR(100) NOT NULL, "
                "DTATIVPESS VARCHAR(23) NOT NULL, IDSITUATPESS VARCHAR(1) NOT NULL, IDALARATPESS "
                "VARCHAR(1) NOT NULL, QTSEGUATPESS DOUBLE PRECISION, IDUNITATPESS VARCHAR(1), "
                "NRPRIOATPESS VARCHAR(3), NRREPETATIVP VARCHAR(10), PRIMARY KEY (CDOPERADOR, "
                "NRATIVPESS))";
    database << "CREATE INDEX ATIVPESSOAL_DATA ON ATIVPESSOAL (CDOPERADOR, DTATIVPESS)";
    database << "CREATE TABLE DESCATIVPESSOAL (CDOPERADOR VARCHAR(12) NOT NULL, NRATIVPESS "
                "VARCHAR(10) NOT NULL, TXATIVPESS TEXT, PRIMARY KEY (CDOPERADOR, NRATIVPESS))";
    database << "CREATE TABLE SEQATIVPESSOAL (CDOPERADOR VARCHAR(12) NOT NULL, IDSEQUENCIA "
                "VARCHAR(1) NOT NULL, NRULTIMO BIGINT NOT NULL, PRIMARY KEY (CDOPERADOR, "
                "IDSEQUENCIA))";
    database << "CREATE TABLE OPERADOR (CDOPERADOR VARCHAR(12) NOT NULL PRIMARY KEY, DSHASHSENHA "
                "VARCHAR(255) NOT NULL)";
    database << "CREATE TABLE SESSAO (DSHASHTOKEN VARCHAR(64) NOT NULL PRIMARY KEY, CDOPERADOR "
                "VARCHAR(12) NOT NULL, DTCRIACAO BIGINT NOT NULL)";
    database << "CREATE INDEX SESSAO_OPERADOR ON SESSAO (CDOPERADOR)";
}

// Version 2: version 1 and the rules of series.
inline void createVersionTwoTables(soci::session& database) {
    createVersionOneTables(database);
    database << "CREATE TABLE SERIEATIVPESSOAL (CDOPERADOR VARCHAR(12) NOT NULL, NRREPETATIVP "
                "VARCHAR(10) NOT NULL, IDTIPOREPET VARCHAR(1) NOT NULL, NRINTERREPET VARCHAR(2) "
                "NOT NULL, IDDIASREPET VARCHAR(7) NOT NULL, IDMODOMENSAL VARCHAR(1) NOT NULL, "
                "DTINICREPET VARCHAR(23) NOT NULL, DTTERMREPET VARCHAR(23), PRIMARY KEY "
                "(CDOPERADOR, NRREPETATIVP))";
    database << "CREATE INDEX ATIVPESSOAL_SERIE ON ATIVPESSOAL (CDOPERADOR, NRREPETATIVP, "
                "DTATIVPESS)";
}

// Version 3: version 2 and the operators' calendar feed tokens.
inline void createVersionThreeTables(soci::session& database) {
    createVersionTwoTables(database);
    database << "CREATE TABLE CALENDARIOOPERADOR (CDOPERADOR VARCHAR(12) NOT NULL PRIMARY KEY, "
                "DSHASHTOKEN VARCHAR(64) NOT NULL UNIQUE)";
}

// Version 4: version 3 and the calendar event each imported reminder came from.
inline void createVersionFourTables(soci::session& database) {
    createVersionThreeTables(database);
    database << "CREATE TABLE ICALATIVPESSOAL (CDOPERADOR VARCHAR(12) NOT NULL, NRATIVPESS "
                "VARCHAR(10) NOT NULL, DSCHAVEICAL VARCHAR(1000) NOT NULL, PRIMARY KEY "
                "(CDOPERADOR, NRATIVPESS))";
}

}  // namespace lembrete::testing
