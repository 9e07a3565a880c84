// The server's tables, created and migrated by the server itself.
//
// LMBVERSAOESQUEMA holds the version of the schema in the database; the pending migration
// steps run in one write transaction that reads and raises the version, so a server finds any
// older database and brings it up to date, and refuses one newer than itself. The DDL is the same
// on SQLite and PostgreSQL, but for the search index (search_index.h).
//
//   ATIVPESSOAL      reminders; key CDOPERADOR+NRATIVPESS; DSREFEBUSCA is the search key of
//                    DSREFEATPESS (search_key.h), and DTALARMEATPESS when it next rings
//                    (alarm_queries.h), both written by the server
//   DESCATIVPESSOAL  one description per reminder (TXATIVPESS: the bytes in base64); DSDESCBUSCA
//                    the search key of its words (search_key.h), written by the server
//   SERIEATIVPESSOAL the rule of each series (series_record.h); key CDOPERADOR+NRREPETATIVP
//   SEQATIVPESSOAL   per-operator number sequences: "A" reminders, "R" repetitions
//   OPERADOR         operators and their argon2id password hashes
//   SESSAO           session tokens (only their hash is stored)
//   CALENDARIOOPERADOR  each operator's calendar feed token (only its hash is stored)
//   ICALATIVPESSOAL  the calendar event (UID and occurrence) each imported reminder came from
//   BUSCAATIVPESSOAL the search keys of each reminder, indexed for the search (search_index.h)
#pragma once

#include <string>
#include <string_view>

namespace lembrete {

class StoreConnection;

// The PostgreSQL statement creating trigger function `name`, which runs `body` (PL/pgSQL
// statements, each ended by ";") and returns nothing. No colons in the body: the database layer
// would read them as parameters.
std::string postgresTriggerFunction(std::string_view name, std::string_view body);

// The version migrateSchema brings a database to.
int latestSchemaVersion();
// Brings the database up to `version` (the latest when not given).
void migrateSchema(StoreConnection& connection, int version = latestSchemaVersion());

}  // namespace lembrete
