#include "server/number_sequences.h"

#include "net/rpc_error_codes.h"
#include "server/rpc_failure.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

const char* kindCode(SequenceKind kind) {
    switch (kind) {
        case SequenceKind::Reminder:
            return "A";
        case SequenceKind::Repetition:
            return "R";
        case SequenceKind::ReminderChange:
            return "D";
    }
    return "";
}

// Raises the sequence by `count` in the open write transaction; returns its new last number.
long long raise(StoreConnection& connection, const std::string& operatorCode, SequenceKind kind,
                long long count) {
    auto& upsert = connection.statement(
        "INSERT INTO SEQATIVPESSOAL (CDOPERADOR, IDSEQUENCIA, NRULTIMO) VALUES (:op, :kind, :count)"
        " ON CONFLICT (CDOPERADOR, IDSEQUENCIA)"
        " DO UPDATE SET NRULTIMO = SEQATIVPESSOAL.NRULTIMO + EXCLUDED.NRULTIMO"
        " RETURNING NRULTIMO",
        "tti", "i");
    upsert.setText(0, operatorCode);
    upsert.setText(1, kindCode(kind));
    upsert.setInteger(2, count);
    upsert.execute();
    return upsert.integer(0);
}

}  // namespace

long long NumberSequences::reserve(StoreConnection& connection, const std::string& operatorCode,
                                   SequenceKind kind, long long count) {
    WriteTransaction transaction(connection);
    const long long last = raise(connection, operatorCode, kind, count);
    if (last > kMaxNumber) {
        throw RpcFailure(rpc_error::InvalidValue,
                         "A numeração de lembretes do operador " + operatorCode + " se esgotou.");
    }
    transaction.commit();
    return last - count + 1;
}

void NumberSequences::advance(StoreConnection& connection, const std::string& operatorCode,
                              SequenceKind kind) {
    raise(connection, operatorCode, kind, 1);
}

long long NumberSequences::lastIssued(StoreConnection& connection, const std::string& operatorCode,
                                      SequenceKind kind) {
    auto& select = connection.statement(
        "SELECT NRULTIMO FROM SEQATIVPESSOAL WHERE CDOPERADOR = :op AND IDSEQUENCIA = :kind", "tt",
        "i");
    select.setText(0, operatorCode);
    select.setText(1, kindCode(kind));
    return select.execute() ? select.integer(0) : 0;
}

}  // namespace lembrete
