#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/delta_writer.h"
#include "server/marked_days_cache.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/reminder_queries.h"
#include "server/rpc_failure.h"
#include "server/schema.h"
#include "server/session_cache.h"
#include "store_fixture.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

const Date kDay = Date::fromParts(2026, 12, 8);

DateTime at(Date day, int hour, int minute = 0) {
    return DateTime(day, std::chrono::minutes(hour * 60 + minute));
}

class ReminderStoreTest : public StoreTest {
  protected:
    // Issues numbers up to `last` for `operatorCode`, as the clients get them before inserting.
    void issue(const std::string& operatorCode, long long last) {
        auto connection = store().lease();
        const long long issued =
            NumberSequences::lastIssued(*connection, operatorCode, SequenceKind::Reminder);
        if (last > issued) {
            NumberSequences::reserve(*connection, operatorCode, SequenceKind::Reminder,
                                     last - issued);
        }
    }

    int apply(const std::string& sessionOperator, const DataPacket& delta,
              const TableLayout& layout = reminderLayout()) {
        auto connection = store().lease();
        return DeltaWriter(layout, sessionOperator).apply(*connection, delta);
    }

    // The code of the RpcFailure the delta is refused with (0 when it is applied).
    int refusal(const std::string& sessionOperator, const DataPacket& delta,
                const TableLayout& layout = reminderLayout()) {
        try {
            apply(sessionOperator, delta, layout);
            return 0;
        } catch (const RpcFailure& failure) {
            return failure.code();
        }
    }

    std::string agenda(AgendaFilter filter) {
        auto connection = store().lease();
        return render(ReminderQueries::agenda(*connection, filter));
    }

    std::string agendaOf(const std::string& operatorCode, Date day = kDay, bool fromDayOn = true) {
        return agenda({"", operatorCode, day, true, true, fromDayOn});
    }

    void insert(const std::vector<ReminderValues>& reminders) {
        std::vector<Change> changes;
        for (const auto& values : reminders) {
            issue(values.operatorCode, std::stoll(values.number));
            changes.push_back(insertOf(reminderRow(values)));
        }
        ASSERT_EQ(apply(reminders.front().operatorCode, reminderDelta(changes)),
                  static_cast<int>(reminders.size()));
    }
};

TEST_P(ReminderStoreTest, SequencesIssueConsecutiveNumbersPerOperatorAndKind) {
    auto connection = store().lease();
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 1), 1);
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 1), 2);
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 3650), 3);
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 1), 3653);
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Repetition, 1), 1);
    EXPECT_EQ(NumberSequences::reserve(*connection, "BETO", SequenceKind::Reminder, 1), 1);
    EXPECT_EQ(NumberSequences::lastIssued(*connection, "ANA", SequenceKind::Reminder), 3653);
    EXPECT_EQ(NumberSequences::lastIssued(*connection, "CAIO", SequenceKind::Reminder), 0);
}

TEST_P(ReminderStoreTest, ConcurrentReservationsNeverShareANumber) {
    constexpr int kThreads = 4;
    constexpr int kEach = 40;
    std::vector<std::vector<long long>> issued(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                auto connection = store().lease();
                issued[t].push_back(
                    NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 2));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::set<long long> all;
    for (const auto& numbers : issued) {
        all.insert(numbers.begin(), numbers.end());
    }
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(*all.begin(), 1);
    EXPECT_EQ(*all.rbegin(), 2 * kThreads * kEach - 1);
}

TEST_P(ReminderStoreTest, AgendaIsOrderedByDateTimeThenNumericNumber) {
    insert({{"ANA", "10", "Dez", at(kDay, 9)},
            {"ANA", "9", "Nove", at(kDay, 9)},
            {"ANA", "2", "Cedo", at(kDay, 8, 30)},
            {"ANA", "3", "Amanhã", at(kDay.addDays(1), 7)},
            {"ANA", "4", "Ontem", at(kDay.addDays(-1), 23, 59)}});
    EXPECT_EQ(
        agendaOf("ANA", kDay, false),
        "2 Cedo 08/12/2026 08:30:00 P; 9 Nove 08/12/2026 09:00:00 P; 10 Dez 08/12/2026 09:00:00 P");
    EXPECT_EQ(
        agendaOf("ANA", kDay, true),
        "2 Cedo 08/12/2026 08:30:00 P; 9 Nove 08/12/2026 09:00:00 P; 10 Dez 08/12/2026 09:00:00 P; "
        "3 Amanhã 09/12/2026 07:00:00 P");
}

TEST_P(ReminderStoreTest, AgendaRowsCarryEveryFieldInOrder) {
    insert({{"ANA", "1", "Consulta", at(kDay, 14, 5), "P", "S", 15.0, "S", "7", "3"}});
    auto connection = store().lease();
    const auto packet = ReminderQueries::agenda(*connection, {"", "ANA", kDay, true, true, false});
    ASSERT_EQ(packet.rows.size(), 1u);
    EXPECT_EQ(packet.fields, ReminderQueries::agendaFields().fields);
    EXPECT_EQ(packet.rows[0], reminderRow({"ANA", "1", "Consulta", at(kDay, 14, 5), "P", "S", 15.0,
                                           "S", "7", "3"}));
    EXPECT_EQ(packet.fields[1].origin, "DBHALVARD.ATIVPESSOAL.NRATIVPESS");
}

TEST_P(ReminderStoreTest, AgendaFilters) {
    insert({{"ANA", "1", "Reunião de orçamento", at(kDay, 9), "P"},
            {"ANA", "2", "REUNIAO GERAL", at(kDay, 10), "R"},
            {"ANA", "3", "Desconto de 50%", at(kDay, 11), "P"},
            {"ANA", "4", "Desconto de 500", at(kDay, 12), "P"},
            {"ANA", "5", "reunião amanhã", at(kDay.addDays(1), 9), "P"}});
    struct Case {
        const char* name;
        AgendaFilter filter;
        const char* numbers;
    };
    const Case cases[] = {
        {"accents and case ignored", {"reuniao", "ANA", kDay, true, true, false}, "1 2"},
        {"accented filter, plain text", {"ORÇAMENTO", "ANA", kDay, true, true, false}, "1"},
        {"wildcards are literal", {"50%", "ANA", kDay, true, true, false}, "3"},
        {"underscore is literal", {"de_5", "ANA", kDay, true, true, false}, ""},
        {"pending only", {"", "ANA", kDay, false, true, false}, "1 3 4"},
        {"done only", {"", "ANA", kDay, true, false, false}, "2"},
        {"neither selects nothing", {"", "ANA", kDay, false, false, true}, ""},
        {"from the day on", {"reuni", "ANA", kDay, true, true, true}, "1 2 5"},
        {"the next day only", {"", "ANA", kDay.addDays(1), true, true, false}, "5"},
        {"another operator sees none", {"", "BETO", kDay, true, true, true}, ""},
    };
    for (const auto& c : cases) {
        auto connection = store().lease();
        std::string numbers;
        for (const auto& row : ReminderQueries::agenda(*connection, c.filter).rows) {
            numbers += (numbers.empty() ? "" : " ") + row[1].asString();
        }
        EXPECT_EQ(numbers, c.numbers) << c.name;
    }
}

TEST_P(ReminderStoreTest, MarkedDaysAreDistinctAndSorted) {
    insert({{"ANA", "1", "a", at(kDay, 9)},
            {"ANA", "2", "b", at(kDay, 18)},
            {"ANA", "3", "c", at(Date::fromParts(2026, 1, 2), 0)}});
    insert({{"BETO", "1", "d", at(Date::fromParts(2027, 5, 5), 0)}});
    auto connection = store().lease();
    const auto days = ReminderQueries::markedDays(*connection, "ANA");
    ASSERT_EQ(days.rows.size(), 2u);
    EXPECT_EQ(days.rows[0][0], Variant(Date::fromParts(2026, 1, 2)));
    EXPECT_EQ(days.rows[1][0], Variant(kDay));
}

TEST_P(ReminderStoreTest, MarkedDaysWithinARangeIncludeBothEnds) {
    const Date first = Date::fromParts(2026, 11, 29);
    const Date last = Date::fromParts(2027, 1, 9);
    insert({{"ANA", "1", "antes", at(first.addDays(-1), 23, 59)},
            {"ANA", "2", "início", at(first, 0)},
            {"ANA", "3", "meio", at(kDay, 9)},
            {"ANA", "4", "meio", at(kDay, 18)},
            {"ANA", "5", "fim", at(last, 23, 59)},
            {"ANA", "6", "depois", at(last.addDays(1), 0)}});
    insert({{"BETO", "1", "outro", at(kDay.addDays(1), 0)}});
    auto connection = store().lease();
    const auto days = ReminderQueries::markedDays(*connection, "ANA", DayRange{first, last});
    ASSERT_EQ(days.rows.size(), 3u);
    EXPECT_EQ(days.rows[0][0], Variant(first));
    EXPECT_EQ(days.rows[1][0], Variant(kDay));
    EXPECT_EQ(days.rows[2][0], Variant(last));
    EXPECT_EQ(ReminderQueries::markedDays(*connection, "ANA").rows.size(), 5u);
    EXPECT_EQ(ReminderQueries::markedDaysText(*connection, "ANA", DayRange{first, last}),
              json_codec::encodePacket(days));
}

TEST_P(ReminderStoreTest, UpdateFindsTheRowByKeyAndOldValues) {
    const ReminderValues pending{"ANA", "1", "Ligar", at(kDay, 9)};
    insert({pending});
    ReminderValues done = pending;
    done.state = "R";
    done.alarm = "N";
    EXPECT_EQ(apply("ANA", reminderDelta({updateOf(reminderRow(pending), reminderRow(done))})), 1);
    EXPECT_EQ(agendaOf("ANA"), "1 Ligar 08/12/2026 09:00:00 R");
    // The same change again: its old values no longer match.
    EXPECT_EQ(refusal("ANA", reminderDelta({updateOf(reminderRow(pending), reminderRow(done))})),
              rpc_error::Conflict);
}

TEST_P(ReminderStoreTest, FieldsLeftOutOfTheDeltaAreNeitherComparedNorWritten) {
    insert({{"ANA", "1", "Ligar", at(kDay, 9), "P", "S", 10.0, "M", "5"}});
    DataPacket delta;
    delta.fields = {{"CDOPERADOR", FieldType::String, 12, ""},
                    {"NRATIVPESS", FieldType::String, 10, ""},
                    {"idsituatpess", FieldType::String, 1, ""}};
    delta.changes = {updateOf({"ANA", "1", "P"}, {"ANA", "1", "R"})};
    EXPECT_EQ(apply("ANA", delta), 1);
    auto connection = store().lease();
    const auto row =
        ReminderQueries::agenda(*connection, {"", "ANA", kDay, true, true, false}).rows.at(0);
    EXPECT_EQ(row, reminderRow({"ANA", "1", "Ligar", at(kDay, 9), "R", "S", 10.0, "M", "5"}));
}

TEST_P(ReminderStoreTest, DerivedFieldsTakeNoPartInLocatingOrWriting) {
    const ReminderValues original{"ANA", "1", "Ligar", at(kDay, 9)};
    insert({original});
    const auto fields = ReminderQueries::agendaFields();
    Row stale = reminderRow(original);
    stale[fields.fieldIndex("HORARIO")] = "23:59:59";
    stale[fields.fieldIndex("DATA")] = Variant();
    ReminderValues moved = original;
    moved.when = at(kDay, 11);
    Row changed = reminderRow(moved);
    changed[fields.fieldIndex("HORARIO")] = "qualquer";
    EXPECT_EQ(apply("ANA", reminderDelta({updateOf(stale, changed)})), 1);
    EXPECT_EQ(agendaOf("ANA"), "1 Ligar 08/12/2026 11:00:00 P");
}

TEST_P(ReminderStoreTest, ADeltaIsAllOrNothing) {
    const ReminderValues first{"ANA", "1", "Primeiro", at(kDay, 9)};
    insert({first});
    issue("ANA", 3);
    ReminderValues stale = first;
    stale.reference = "Outro texto";
    const auto delta = reminderDelta(
        {insertOf(reminderRow({"ANA", "2", "Novo", at(kDay, 10)})), deleteOf(reminderRow(stale))});
    EXPECT_EQ(refusal("ANA", delta), rpc_error::Conflict);
    EXPECT_EQ(agendaOf("ANA"), "1 Primeiro 08/12/2026 09:00:00 P");
}

TEST_P(ReminderStoreTest, DeletingAReminderDeletesItsDescription) {
    const ReminderValues reminder{"ANA", "1", "Com descrição", at(kDay, 9)};
    insert({reminder, {"ANA", "2", "Outro", at(kDay, 10)}});
    EXPECT_EQ(apply("ANA",
                    descriptionDelta({insertOf(descriptionRow("ANA", "1", "{\\rtf1 um}")),
                                      insertOf(descriptionRow("ANA", "2", "{\\rtf1 dois}"))}),
                    descriptionLayout()),
              2);
    EXPECT_EQ(apply("ANA", reminderDelta({deleteOf(reminderRow(reminder))})), 1);
    auto connection = store().lease();
    EXPECT_TRUE(ReminderQueries::description(*connection, "ANA", "1").rows.empty());
    const auto kept = ReminderQueries::description(*connection, "ANA", "2");
    ASSERT_EQ(kept.rows.size(), 1u);
    EXPECT_EQ(kept.rows[0], descriptionRow("ANA", "2", "{\\rtf1 dois}"));
}

TEST_P(ReminderStoreTest, DescriptionUpdateAndConflict) {
    insert({{"ANA", "1", "x", at(kDay, 9)}});
    const std::string binary("a\0b\xff", 4);
    apply("ANA", descriptionDelta({insertOf(descriptionRow("ANA", "1", binary))}),
          descriptionLayout());
    const auto update = descriptionDelta(
        {updateOf(descriptionRow("ANA", "1", binary), descriptionRow("ANA", "1", "novo"))});
    EXPECT_EQ(apply("ANA", update, descriptionLayout()), 1);
    EXPECT_EQ(refusal("ANA", update, descriptionLayout()), rpc_error::Conflict);
    EXPECT_EQ(refusal("ANA", descriptionDelta({insertOf(descriptionRow("ANA", "1", "de novo"))}),
                      descriptionLayout()),
              rpc_error::ExistingKey);
}

TEST_P(ReminderStoreTest, InsertsNeedANewIssuedNumber) {
    insert({{"ANA", "1", "x", at(kDay, 9)}});
    EXPECT_EQ(
        refusal("ANA", reminderDelta({insertOf(reminderRow({"ANA", "1", "y", at(kDay, 9)}))})),
        rpc_error::ExistingKey);
    EXPECT_EQ(
        refusal("ANA", reminderDelta({insertOf(reminderRow({"ANA", "2", "y", at(kDay, 9)}))})),
        rpc_error::NumberNotIssued);
    EXPECT_EQ(agendaOf("ANA"), "1 x 08/12/2026 09:00:00 P");
}

TEST_P(ReminderStoreTest, ADescriptionNeedsItsReminder) {
    insert({{"ANA", "1", "x", at(kDay, 9)}});
    issue("ANA", 2);
    const auto orphan = descriptionRow("ANA", "2", "sem lembrete");
    EXPECT_EQ(refusal("ANA", descriptionDelta({insertOf(orphan)}), descriptionLayout()),
              rpc_error::Conflict);
    // Nor can a description outlive its reminder through an update sent after the delete.
    const auto kept = descriptionRow("ANA", "1", "antes");
    apply("ANA", descriptionDelta({insertOf(kept)}), descriptionLayout());
    apply("ANA", reminderDelta({deleteOf(reminderRow({"ANA", "1", "x", at(kDay, 9)}))}));
    EXPECT_EQ(refusal("ANA", descriptionDelta({updateOf(kept, descriptionRow("ANA", "1", "d"))}),
                      descriptionLayout()),
              rpc_error::Conflict);
    auto connection = store().lease();
    EXPECT_TRUE(ReminderQueries::description(*connection, "ANA", "1").rows.empty());
    EXPECT_TRUE(ReminderQueries::description(*connection, "ANA", "2").rows.empty());
}

// A delta longer than one insert statement holds: written whole, in the delta's order, or
// refused whole with the row at fault named, wherever it falls among the statements.
TEST_P(ReminderStoreTest, LongDeltasAreWrittenWholeOrRefusedWhole) {
    constexpr int kRows = 1500;
    const auto reminder = [](int number) {
        return reminderRow({"ANA", std::to_string(number), "Série " + std::to_string(number),
                            at(kDay.addDays(number), 7 + number % 12)});
    };
    const auto insertsFrom = [&](int first) {
        std::vector<Change> changes;
        for (int n = first; n < first + kRows; ++n) {
            changes.push_back(insertOf(reminder(n)));
        }
        return changes;
    };
    const auto refusalText = [&](const DataPacket& delta, const TableLayout& layout) {
        try {
            apply("ANA", delta, layout);
            return std::string("applied");
        } catch (const RpcFailure& failure) {
            return std::to_string(failure.code()) + " " + failure.what();
        }
    };
    const auto stored = [&](const char* table) {
        auto connection = store().lease();
        auto& count = connection->statement(std::string("SELECT COUNT(*) FROM ") + table, "", "i");
        return count.execute() ? count.integer(0) : -1;
    };
    issue("ANA", 2 * kRows + 1);
    insert({{"ANA", "1", "Antes", at(kDay, 9)}});

    struct Case {
        const char* name;
        std::function<void(std::vector<Change>&)> spoil;
        std::string refusal;
    };
    const std::string taken = std::to_string(rpc_error::ExistingKey) + " Já existe o lembrete ";
    const std::vector<Case> cases = {
        {"a stored key in the last statement",
         [&](auto& changes) { changes[1400] = insertOf(reminder(1)); },
         taken + "1 do operador ANA. Nenhuma alteração foi gravada."},
        {"a key twice in one statement",
         [&](auto& changes) { changes[11] = insertOf(reminder(10)); },
         taken + "10 do operador ANA. Nenhuma alteração foi gravada."},
        {"a key twice, in two statements",
         [&](auto& changes) { changes[1499] = insertOf(reminder(10)); },
         taken + "10 do operador ANA. Nenhuma alteração foi gravada."},
    };
    for (const auto& c : cases) {
        auto changes = insertsFrom(10);
        c.spoil(changes);
        EXPECT_EQ(refusalText(reminderDelta(changes), reminderLayout()), c.refusal) << c.name;
        EXPECT_EQ(stored("ATIVPESSOAL"), 1) << c.name;
    }

    // The stored reminder deleted and inserted again after the new ones: the order holds.
    auto changes = insertsFrom(10);
    changes.push_back(deleteOf(reminderRow({"ANA", "1", "Antes", at(kDay, 9)})));
    changes.push_back(insertOf(reminderRow({"ANA", "1", "Depois", at(kDay, 9)})));
    EXPECT_EQ(apply("ANA", reminderDelta(changes)), kRows + 2);
    EXPECT_EQ(stored("ATIVPESSOAL"), kRows + 1);
    {
        auto connection = store().lease();
        const auto rows = ReminderQueries::agenda(*connection, {"", "ANA", kDay, true, true, true});
        ASSERT_EQ(rows.rows.size(), static_cast<std::size_t>(kRows + 1));
        for (int n = 10; n < 10 + kRows; ++n) {
            ASSERT_EQ(rows.rows[n - 9][2], reminder(n)[2]) << n;
        }
    }
    EXPECT_EQ(agendaOf("ANA", kDay, false), "1 Depois 08/12/2026 09:00:00 P");

    // Descriptions of every one of them, checked against their reminders in batches too.
    std::vector<Change> descriptions;
    for (int n = 10; n < 10 + kRows; ++n) {
        descriptions.push_back(insertOf(descriptionRow("ANA", std::to_string(n), "Dose")));
    }
    auto orphan = descriptions;
    orphan[1300] = insertOf(descriptionRow("ANA", std::to_string(2 * kRows + 1), "Dose"));
    EXPECT_EQ(refusalText(descriptionDelta(orphan), descriptionLayout()),
              std::to_string(rpc_error::Conflict) + " O lembrete " + std::to_string(2 * kRows + 1) +
                  " do operador ANA não existe (outro usuário pode tê-lo excluído). Nenhuma "
                  "alteração foi gravada; recarregue os dados e tente novamente.");
    EXPECT_EQ(stored("DESCATIVPESSOAL"), 0);
    EXPECT_EQ(apply("ANA", descriptionDelta(descriptions), descriptionLayout()), kRows);
    EXPECT_EQ(stored("DESCATIVPESSOAL"), kRows);
}

TEST_P(ReminderStoreTest, InvalidValuesAreRefusedAndNothingIsWritten) {
    issue("ANA", 3);
    const ReminderValues good{"ANA", "1", "Ok", at(kDay, 9), "P", "S", 5.0, "D", "999", "12"};
    const auto withField = [&](const char* name, Variant value) {
        Row row = reminderRow(good);
        row[ReminderQueries::agendaFields().fieldIndex(name)] = std::move(value);
        return reminderDelta({insertOf(std::move(row))});
    };
    struct Case {
        const char* field;
        Variant value;
        int code;
    };
    const Case cases[] = {
        {"DSREFEATPESS", std::string(101, 'a'), rpc_error::InvalidValue},
        {"DSREFEATPESS", 7, rpc_error::InvalidValue},
        {"NRATIVPESS", "12345678901", rpc_error::InvalidValue},
        {"NRATIVPESS", "1a", rpc_error::InvalidValue},
        {"NRATIVPESS", Variant(), rpc_error::InvalidValue},
        // Numbers 1 to 3 were issued; each is written one way only.
        {"NRATIVPESS", "0", rpc_error::InvalidValue},
        {"NRATIVPESS", "0000000000", rpc_error::InvalidValue},
        {"NRATIVPESS", "01", rpc_error::InvalidValue},
        {"NRATIVPESS", "", rpc_error::InvalidValue},
        {"CDOPERADOR", "ANA_COM_13_CH", rpc_error::InvalidValue},
        {"CDOPERADOR", "BETO", rpc_error::OtherOperator},
        {"DTATIVPESS", Variant(), rpc_error::InvalidValue},
        {"DTATIVPESS", "2026-12-08T09:00:00", rpc_error::InvalidValue},
        {"DTATIVPESS", DateTime::fromParts({2100, 1, 1}), rpc_error::InvalidValue},
        {"DTATIVPESS", DateTime::fromParts({1999, 12, 31}, 23), rpc_error::InvalidValue},
        {"IDSITUATPESS", "X", rpc_error::InvalidValue},
        {"IDSITUATPESS", "p", rpc_error::InvalidValue},
        {"IDALARATPESS", "Y", rpc_error::InvalidValue},
        {"QTSEGUATPESS", 0.0, rpc_error::InvalidValue},
        {"QTSEGUATPESS", 1000.5, rpc_error::InvalidValue},
        {"QTSEGUATPESS", 1.5, rpc_error::InvalidValue},
        {"IDUNITATPESS", "H", rpc_error::InvalidValue},
        {"NRPRIOATPESS", "1000", rpc_error::InvalidValue},
        {"NRPRIOATPESS", "-1", rpc_error::InvalidValue},
        {"NRPRIOATPESS", " 5", rpc_error::InvalidValue},
        {"NRPRIOATPESS", "", rpc_error::InvalidValue},
        {"NRREPETATIVP", "x", rpc_error::InvalidValue},
        {"NRREPETATIVP", "012", rpc_error::InvalidValue},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusal("ANA", withField(c.field, c.value)), c.code)
            << c.field << " = " << c.value.toText();
    }
    EXPECT_EQ(agendaOf("ANA"), "");
    // The edges that are allowed.
    Row edges = reminderRow(good);
    const auto fields = ReminderQueries::agendaFields();
    edges[fields.fieldIndex("DSREFEATPESS")] =
        "Referência " + std::string(89, 'x');  // 100 characters
    edges[fields.fieldIndex("QTSEGUATPESS")] = 1000.0;
    edges[fields.fieldIndex("NRPRIOATPESS")] = Variant();
    edges[fields.fieldIndex("IDUNITATPESS")] = "";
    edges[fields.fieldIndex("DTATIVPESS")] = DateTime::fromParts({2099, 12, 31}, 23, 59, 59);
    EXPECT_EQ(apply("ANA", reminderDelta({insertOf(edges)})), 1);
}

TEST_P(ReminderStoreTest, MalformedDeltasAreRefused) {
    issue("ANA", 1);
    DataPacket unknownField =
        reminderDelta({insertOf(reminderRow({"ANA", "1", "x", at(kDay, 9)}))});
    unknownField.fields[2].name = "DSOUTRO";
    EXPECT_EQ(refusal("ANA", unknownField), rpc_error::InvalidValue);

    DataPacket wrongType = reminderDelta({insertOf(reminderRow({"ANA", "1", "x", at(kDay, 9)}))});
    wrongType.fields[3].type = FieldType::String;
    setNewValue(wrongType.changes[0], 3, "2026-12-08T09:00:00");
    EXPECT_EQ(refusal("ANA", wrongType), rpc_error::InvalidValue);

    DataPacket noKey;
    noKey.fields = {{"DSREFEATPESS", FieldType::String, 100, ""}};
    noKey.changes = {insertOf({"x"})};
    EXPECT_EQ(refusal("ANA", noKey), rpc_error::InvalidValue);

    const ReminderValues original{"ANA", "1", "x", at(kDay, 9)};
    ReminderValues renumbered = original;
    renumbered.number = "2";
    EXPECT_EQ(
        refusal("ANA", reminderDelta({updateOf(reminderRow(original), reminderRow(renumbered))})),
        rpc_error::InvalidValue);
}

TEST_P(ReminderStoreTest, AnOperatorCannotTouchAnotherOperatorsRows) {
    const ReminderValues ana{"ANA", "1", "Da Ana", at(kDay, 9)};
    insert({ana});
    issue("BETO", 1);
    ReminderValues changed = ana;
    changed.reference = "Mudado";
    EXPECT_EQ(refusal("BETO", reminderDelta({updateOf(reminderRow(ana), reminderRow(changed))})),
              rpc_error::OtherOperator);
    EXPECT_EQ(refusal("BETO", reminderDelta({deleteOf(reminderRow(ana))})),
              rpc_error::OtherOperator);
    EXPECT_EQ(
        refusal("BETO", reminderDelta({insertOf(reminderRow({"ANA", "1", "x", at(kDay, 9)}))})),
        rpc_error::OtherOperator);
    EXPECT_EQ(refusal("BETO", descriptionDelta({insertOf(descriptionRow("ANA", "1", "x"))}),
                      descriptionLayout()),
              rpc_error::OtherOperator);
    EXPECT_EQ(agendaOf("ANA"), "1 Da Ana 08/12/2026 09:00:00 P");
}

TEST_P(ReminderStoreTest, OperatorsLogInAndSessionsEndWithAPasswordChange) {
    auto connection = store().lease();
    SessionCache sessions;  // not kept true to the database: it never serves
    OperatorAccounts::add(*connection, "ANA", "segredo-1");
    EXPECT_THROW(OperatorAccounts::add(*connection, "ANA", "outra-senha"), std::runtime_error);
    EXPECT_THROW(OperatorAccounts::changePassword(*connection, "NINGUEM", "x"), std::runtime_error);
    EXPECT_FALSE(OperatorAccounts::login(*connection, "ANA", "errada"));
    EXPECT_FALSE(OperatorAccounts::login(*connection, "NINGUEM", "segredo-1"));
    const auto token = OperatorAccounts::login(*connection, "ANA", "segredo-1");
    ASSERT_TRUE(token);
    EXPECT_EQ(token->size(), 64u);
    EXPECT_EQ(OperatorAccounts::sessionOperator(*connection, *token, sessions), "ANA");
    // Another token: one character changed (a token may well begin with "0" already).
    const std::string other = (token->front() == '0' ? "1" : "0") + token->substr(1);
    EXPECT_FALSE(OperatorAccounts::sessionOperator(*connection, other, sessions));
    OperatorAccounts::changePassword(*connection, "ANA", "nova-senha");
    EXPECT_FALSE(OperatorAccounts::sessionOperator(*connection, *token, sessions));
    EXPECT_FALSE(OperatorAccounts::login(*connection, "ANA", "segredo-1"));
    EXPECT_TRUE(OperatorAccounts::login(*connection, "ANA", "nova-senha"));
}

TEST_P(ReminderStoreTest, DisabledOperatorsAndLogoutEndSessions) {
    auto connection = store().lease();
    SessionCache sessions;  // not kept true to the database: it never serves
    OperatorAccounts::add(*connection, "ANA", "segredo-1");
    const auto token = OperatorAccounts::login(*connection, "ANA", "segredo-1");
    ASSERT_TRUE(token);
    OperatorAccounts::setEnabled(*connection, "ANA", false);
    EXPECT_FALSE(OperatorAccounts::sessionOperator(*connection, *token, sessions));
    EXPECT_FALSE(OperatorAccounts::login(*connection, "ANA", "segredo-1"));
    // A new password leaves it disabled.
    OperatorAccounts::changePassword(*connection, "ANA", "segredo-2");
    EXPECT_FALSE(OperatorAccounts::login(*connection, "ANA", "segredo-2"));
    EXPECT_EQ(OperatorAccounts::list(*connection).at(0).enabled, false);
    OperatorAccounts::setEnabled(*connection, "ANA", true);
    const auto again = OperatorAccounts::login(*connection, "ANA", "segredo-2");
    ASSERT_TRUE(again);
    EXPECT_EQ(OperatorAccounts::sessionOperator(*connection, *again, sessions), "ANA");
    OperatorAccounts::logout(*connection, *again, sessions);
    EXPECT_FALSE(OperatorAccounts::sessionOperator(*connection, *again, sessions));
    EXPECT_THROW(OperatorAccounts::setEnabled(*connection, "NINGUEM", true), std::runtime_error);
}

TEST_P(ReminderStoreTest, RemovingAnOperatorRemovesEveryRowOfItsOwn) {
    insert({{"ANA", "1", "Da Ana", at(kDay, 9)}, {"ANA", "2", "Também", at(kDay, 10)}});
    insert({{"BETO", "1", "Do Beto", at(kDay, 9)}});
    apply("ANA", descriptionDelta({insertOf(descriptionRow("ANA", "1", "texto"))}),
          descriptionLayout());
    {
        auto connection = store().lease();
        OperatorAccounts::add(*connection, "ANA", "segredo-1");
        OperatorAccounts::add(*connection, "BETO", "segredo-2");
        ASSERT_TRUE(OperatorAccounts::login(*connection, "ANA", "segredo-1"));
        OperatorAccounts::remove(*connection, "ANA");
        EXPECT_THROW(OperatorAccounts::remove(*connection, "ANA"), std::runtime_error);
        ASSERT_EQ(OperatorAccounts::list(*connection).size(), 1u);
        EXPECT_EQ(OperatorAccounts::list(*connection)[0].code, "BETO");
        EXPECT_TRUE(ReminderQueries::description(*connection, "ANA", "1").rows.empty());
        EXPECT_EQ(NumberSequences::lastIssued(*connection, "ANA", SequenceKind::Reminder), 0);
        EXPECT_EQ(NumberSequences::lastIssued(*connection, "BETO", SequenceKind::Reminder), 1);
    }
    EXPECT_EQ(agendaOf("ANA"), "");
    EXPECT_EQ(agendaOf("BETO"), "1 Do Beto 08/12/2026 09:00:00 P");
}

TEST_P(ReminderStoreTest, ReopeningKeepsTheDataAndTheSchema) {
    insert({{"ANA", "1", "Persiste", at(kDay, 9)}});
    auto again = reopen();
    auto connection = again->lease();
    EXPECT_EQ(render(ReminderQueries::agenda(*connection, {"", "ANA", kDay, true, true, false})),
              "1 Persiste 08/12/2026 09:00:00 P");
    int version = 0;
    connection->session() << "SELECT NRVERSAO FROM LMBVERSAOESQUEMA", soci::into(version);
    EXPECT_EQ(version, latestSchemaVersion());
}

TEST_P(ReminderStoreTest, CachedMarkedDaysFollowChangesMadeThroughAnotherServer) {
    const ReminderValues first{"ANA", "1", "Aqui", at(kDay, 9)};
    insert({first});
    MarkedDaysCache cache;
    // What the cache answers, checked against the days built afresh from the store.
    const auto cachedDays = [&] {
        auto connection = store().lease();
        auto reply = cache.reply(*connection, "ANA");
        EXPECT_EQ(reply, ReminderQueries::markedDaysText(*connection, "ANA"));
        return reply;
    };
    const auto before = cachedDays();
    EXPECT_EQ(cachedDays(), before);

    auto otherServer = reopen();
    auto otherConnection = otherServer->lease();
    const auto applyThere = [&](const DataPacket& delta) {
        return DeltaWriter(reminderLayout(), "ANA").apply(*otherConnection, delta);
    };
    NumberSequences::reserve(*otherConnection, "ANA", SequenceKind::Reminder, 1);
    const ReminderValues second{"ANA", "2", "Lá", at(Date::fromParts(2027, 2, 3), 8)};
    applyThere(reminderDelta({insertOf(reminderRow(second))}));
    const auto withSecond = cachedDays();
    EXPECT_NE(withSecond, before);

    ReminderValues moved = second;
    moved.when = at(Date::fromParts(2027, 3, 4), 8);
    applyThere(reminderDelta({updateOf(reminderRow(second), reminderRow(moved))}));
    const auto afterMove = cachedDays();
    EXPECT_NE(afterMove, withSecond);

    applyThere(reminderDelta({deleteOf(reminderRow(moved))}));
    EXPECT_EQ(cachedDays(), before);
}

TEST_P(ReminderStoreTest, CachedRangesAreKeptApartAndFollowChangesThroughAnotherServer) {
    insert({{"ANA", "1", "Dezembro", at(kDay, 9)}});
    MarkedDaysCache cache;
    const DayRange december{Date::fromParts(2026, 11, 22), Date::fromParts(2027, 1, 9)};
    const DayRange march{Date::fromParts(2027, 2, 21), Date::fromParts(2027, 4, 10)};
    const auto cachedDays = [&](std::optional<DayRange> days) {
        auto connection = store().lease();
        auto reply = cache.reply(*connection, "ANA", days);
        EXPECT_EQ(reply, ReminderQueries::markedDaysText(*connection, "ANA", days));
        return ReminderQueries::markedDays(*connection, "ANA", days).rows.size();
    };
    EXPECT_EQ(cachedDays(december), 1u);
    EXPECT_EQ(cachedDays(march), 0u);
    EXPECT_EQ(cachedDays(std::nullopt), 1u);

    auto otherServer = reopen();
    auto otherConnection = otherServer->lease();
    NumberSequences::reserve(*otherConnection, "ANA", SequenceKind::Reminder, 1);
    const ReminderValues spring{"ANA", "2", "Março", at(Date::fromParts(2027, 3, 4), 8)};
    DeltaWriter(reminderLayout(), "ANA")
        .apply(*otherConnection, reminderDelta({insertOf(reminderRow(spring))}));
    EXPECT_EQ(cachedDays(march), 1u);
    EXPECT_EQ(cachedDays(december), 1u);
    EXPECT_EQ(cachedDays(std::nullopt), 2u);
}

TEST(MarkedDaysCacheTest, KeepsTheMostRecentlyUsedRepliesWithinItsBudget) {
    MarkedDaysCache cache(10);
    const auto reply = [](std::string text) {
        return std::make_shared<const std::string>(std::move(text));
    };
    cache.store("ANA", 1, reply("aaaa"));
    cache.store("BETO", 1, reply("bbbb"));
    EXPECT_TRUE(cache.find("ANA", 1));
    EXPECT_FALSE(cache.find("ANA", 2)) << "a reply of another change count is stale";
    cache.store("CAIO", 1, reply("cccc"));
    EXPECT_FALSE(cache.find("BETO", 1)) << "the least recently used reply goes first";
    EXPECT_TRUE(cache.find("ANA", 1));
    EXPECT_TRUE(cache.find("CAIO", 1));

    cache.store("ANA", 2, reply("aaaaaa"));
    ASSERT_TRUE(cache.find("ANA", 2));
    EXPECT_EQ(*cache.find("ANA", 2), "aaaaaa");
    EXPECT_FALSE(cache.find("ANA", 1));
    EXPECT_TRUE(cache.find("CAIO", 1));

    cache.store("DORA", 1, reply("ddddddddddd"));
    EXPECT_FALSE(cache.find("DORA", 1)) << "a reply over the whole budget is not kept";
    EXPECT_TRUE(cache.find("ANA", 2));
    EXPECT_TRUE(cache.find("CAIO", 1));
}

// A statement the database refuses leaves the connection usable: the transaction around it
// rolls back and the next statements run.
TEST_P(ReminderStoreTest, AStatementTheDatabaseRefusesLeavesTheConnectionUsable) {
    auto connection = store().lease();
    {
        WriteTransaction transaction(*connection);
        EXPECT_THROW(connection->statement("SELECT NOSUCHCOLUMN FROM ATIVPESSOAL", ""),
                     soci::soci_error);
    }
    EXPECT_EQ(NumberSequences::reserve(*connection, "ANA", SequenceKind::Reminder, 1), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReminderStoreTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgresql), backendName);

}  // namespace
}  // namespace lembrete::testing
