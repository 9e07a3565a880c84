// Per-operator number sequences: reminder numbers ("A"), repetition numbers ("R") and the count
// of changes made to the operator's reminders ("D"), which tells a cached calendar is stale.
//
// A reservation raises the sequence in one statement inside its own transaction, so
// concurrent requests, on SQLite or PostgreSQL, never receive the same number.
#pragma once

#include <string>

namespace lembrete {

class StoreConnection;

enum class SequenceKind { Reminder, Repetition, ReminderChange };

class NumberSequences {
  public:
    static constexpr long long kMaxBlock = 10000;
    // The largest number that fits the 10-character number fields.
    static constexpr long long kMaxNumber = 9999999999LL;

    // Reserves `count` consecutive numbers and returns the first.
    static long long reserve(StoreConnection& connection, const std::string& operatorCode,
                             SequenceKind kind, long long count);
    // Raises the sequence by one inside the caller's write transaction.
    static void advance(StoreConnection& connection, const std::string& operatorCode,
                        SequenceKind kind);
    // The last number issued (0 when none): inserts may use only numbers up to it.
    static long long lastIssued(StoreConnection& connection, const std::string& operatorCode,
                                SequenceKind kind);
};

}  // namespace lembrete
