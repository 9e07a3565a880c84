// SeriesChange: changes or deletes occurrences of a stored series with a scope — this one, this
// and the following ones, or the whole series — as one SetSerieAFazer, which the server applies
// in one transaction under its conflict rule (a row changed meanwhile elsewhere refuses all).
//
// Load() reads the series' rows and its rule; every change then starts from those values, so a
// row another desktop changed since is a conflict and nothing is written. Done occurrences
// ("R") are history: the scopes "following" and "all" never change or delete them, and every
// operation returns how many it kept.
//
// - Fields (reference, time, priority, alarm) and the long description changed on one
//   occurrence go to the chosen rows; the occurrence itself takes all its changes. A changed
//   date moves every chosen row by as many days, each keeping its own time unless the time
//   changed too. The stored rule moves with them (start and end by as many days, a weekly
//   rule's weekdays turning with them) when the moved dates still follow it, and goes when
//   they do not: the series then shows what its dates tell. Moving "following" from a later
//   occurrence makes the moved part a series of its own, as a new rule does.
// - A new rule replaces the chosen pending occurrences with the new rule's, from the edited
//   occurrence's date on ("following": when earlier occurrences remain, the new part becomes a
//   series of its own and the old rule ends the day before) or from the series' start moved by
//   as many days as the occurrence moved ("all"). Days that hold a kept done occurrence get no
//   new one.
// - Deleting "following" ends the stored rule the day before; deleting what is left of a series,
//   with any scope, deletes its rule.
//
// Descriptions of new occurrences are posted into the descriptions dataset given (the editor's,
// which may also hold the edited occurrence's own description change), or into one of its own.
// It owns the series' rows and rule; the gateway belongs to the caller.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/reminder_gateway.h"
#include "recurrence/stored_rule.h"
#include "series/series_writer.h"
#include "undo/undo_history.h"

namespace lembrete {

// In the order of the options below.
enum class SeriesScope { This = 0, Following = 1, All = 2 };

// The question and options of saving a changed occurrence, and of deleting one.
inline constexpr const char* kApplyScopeQuestion = "Aplicar a:";
inline const std::vector<std::string> kApplyScopeOptions = {"Somente este lembrete",
                                                            "Este e os próximos", "Todos da série"};
inline constexpr const char* kDeleteScopeQuestion =
    "Este lembrete faz parte de uma série. Excluir:";
inline const std::vector<std::string> kDeleteScopeOptions = {"Excluir somente este",
                                                             "Este e os próximos", "Toda a série"};

class SeriesChange {
  public:
    // Every operation sent is pushed onto `history` when given.
    SeriesChange(ReminderGateway& gateway, ClientDataSet* descriptions = nullptr,
                 UndoHistory* history = nullptr);

    // Reads series `seriesNumber` of `operatorCode`: its rows and its rule (when stored).
    void Load(const std::string& operatorCode, const std::string& seriesNumber);
    const std::string& SeriesNumber() const { return seriesNumber_; }
    std::optional<StoredRule> Rule();
    // For a series stored without a rule: the rule its dates follow (inferRule), starting with
    // its first row; none when no rule fits them.
    std::optional<StoredRule> InferredRule() const;
    // Reminder `number`'s place in the series, from 1; 0 when it is not one of its rows.
    int Position(const std::string& number) const;
    int Count() const { return rows_.RecordCount(); }
    // The date of its first row (the series must have one).
    Date FirstDate() const { return dateAt(0); }
    // True while rows are posted into the descriptions dataset (its after-post handler then
    // leaves the sending to this object).
    bool Posting() const { return posting_ || writer_.Posting(); }

    // A new long description for the chosen rows: `text`, and the edited occurrence's
    // description as it was read with it (none when it had none). The others' are read when
    // the change is made; any of them changed since is a conflict.
    struct DescriptionChange {
        Blob text;
        std::optional<Variant> loaded;
    };

    // The edited occurrence as loaded (`before`, a ReminderRecord row) and as the user left it
    // (`after`). Each operation returns the number of done occurrences kept.
    int ChangeFields(SeriesScope scope, const Row& before, const Row& after,
                     const std::optional<DescriptionChange>& description = std::nullopt);
    // `values` are those of the new occurrences; `start` the edited occurrence's new date.
    int ChangeRule(SeriesScope scope, const Row& before, const RecurrenceRule& rule, Date start,
                   const OccurrenceValues& values);
    int Delete(SeriesScope scope, const std::string& number);

  private:
    // The rows a scope reaches from reminder `number` (0-based indexes, in date order).
    std::vector<int> reached(SeriesScope scope, const std::string& number) const;
    bool isDone(int index) const;
    Date dateAt(int index) const;
    std::string numberAt(int index) const;
    // Loads into ownDescriptions_ the descriptions the rows at `indexes` have (the edited
    // occurrence's as it was read), then gives each row `change.text`.
    void describe(const std::vector<int>& indexes, const std::string& edited,
                  const DescriptionChange& change);
    // The stored rule after the rows at `moved` were moved by `days` (`time` when the time
    // changed too) with `scope`; `series` is where a split's moved part went.
    void moveRule(SeriesScope scope, const StoredRule& stored, int days, Date editedDate,
                  std::optional<std::chrono::milliseconds> time, const std::vector<Date>& moved,
                  const std::string& series);
    void setRuleEnd(Date end);
    void send(ClientDataSet& descriptions);

    ReminderGateway& gateway_;
    UndoHistory* history_;
    ClientDataSet rows_;
    ClientDataSet rules_;
    ClientDataSet ownDescriptions_;
    ClientDataSet& descriptions_;
    SeriesWriter writer_;
    std::string operatorCode_;
    std::string seriesNumber_;
    bool posting_ = false;
};

// "1 lembrete já realizado foi mantido sem alteração." / "3 lembretes já realizados ...".
std::string keptDoneMessage(int kept);

}  // namespace lembrete
