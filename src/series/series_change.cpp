#include "series/series_change.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "data/changes_together.h"
#include "data/reminder_record.h"
#include "data/series_record.h"
#include "recurrence/occurrence_cursor.h"
#include "recurrence/rule_inference.h"
#include "series/flag_scope.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// What a change of one occurrence carries to the others, besides the time of day.
constexpr std::array<std::string_view, 5> kSharedFields = {
    R::DSREFEATPESS, R::NRPRIOATPESS, R::IDALARATPESS, R::QTSEGUATPESS, R::IDUNITATPESS};

int fieldOf(std::string_view name) {
    const auto& layout = R::layout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].def.name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

DateTime whenOf(const Row& row) {
    return row[fieldOf(R::DTATIVPESS)].asDateTime();
}

}  // namespace

SeriesChange::SeriesChange(ReminderGateway& gateway, ClientDataSet* descriptions,
                           UndoHistory* history)
    : gateway_(gateway),
      history_(history),
      rows_("cdsSerieAFazer", R::layout()),
      rules_("cdsRegraSerie", SeriesRecord::layout()),
      ownDescriptions_("cdsDescSerie", DescriptionRecord::layout()),
      descriptions_(descriptions != nullptr ? *descriptions : ownDescriptions_),
      writer_(rows_, descriptions_, rules_, gateway) {
    rows_.Open();
    rules_.Open();
    ownDescriptions_.Open();
}

void SeriesChange::Load(const std::string& operatorCode, const std::string& seriesNumber) {
    operatorCode_ = operatorCode;
    seriesNumber_ = seriesNumber;
    gateway_.GetSerieAFazer(operatorCode, seriesNumber, rows_);
    gateway_.GetRegraAFazer(operatorCode, seriesNumber, rules_);
}

std::optional<StoredRule> SeriesChange::Rule() {
    rules_.First();
    return readStoredRule(rules_);
}

std::optional<StoredRule> SeriesChange::InferredRule() const {
    if (rows_.IsEmpty()) {
        return std::nullopt;
    }
    std::vector<Date> dates;
    for (int index = 0; index < rows_.RecordCount(); ++index) {
        dates.push_back(dateAt(index));
    }
    const std::optional<RecurrenceRule> rule = inferRule(dates);
    if (!rule) {
        return std::nullopt;
    }
    return StoredRule{*rule, rows_.RowAt(0)[rows_.FieldIndex(R::DTATIVPESS)].asDateTime()};
}

int SeriesChange::Position(const std::string& number) const {
    const int numberField = rows_.FieldIndex(R::NRATIVPESS);
    for (int i = 0; i < rows_.RecordCount(); ++i) {
        if (rows_.RowAt(i)[numberField].toText() == number) {
            return i + 1;
        }
    }
    return 0;
}

bool SeriesChange::isDone(int index) const {
    return rows_.RowAt(index)[rows_.FieldIndex(R::IDSITUATPESS)].toText() == R::kDone;
}

Date SeriesChange::dateAt(int index) const {
    return rows_.RowAt(index)[rows_.FieldIndex(R::DTATIVPESS)].asDateTime().date();
}

std::string SeriesChange::numberAt(int index) const {
    return rows_.RowAt(index)[rows_.FieldIndex(R::NRATIVPESS)].toText();
}

std::vector<int> SeriesChange::reached(SeriesScope scope, const std::string& number) const {
    const int position = Position(number);
    if (position == 0) {
        return {};
    }
    std::vector<int> indexes;
    const int from = scope == SeriesScope::All ? 0 : position - 1;
    const int to = scope == SeriesScope::This ? position : rows_.RecordCount();
    for (int i = from; i < to; ++i) {
        indexes.push_back(i);
    }
    return indexes;
}

int SeriesChange::ChangeFields(SeriesScope scope, const Row& before, const Row& after,
                               const std::optional<DescriptionChange>& description) {
    const std::string number = before[fieldOf(R::NRATIVPESS)].toText();
    std::vector<std::string_view> changed;
    for (std::string_view name : kSharedFields) {
        if (before[fieldOf(name)] != after[fieldOf(name)]) {
            changed.push_back(name);
        }
    }
    const DateTime newWhen = whenOf(after);
    const bool timeChanged = whenOf(before).timeOfDay() != newWhen.timeOfDay();
    const Date editedDate = whenOf(before).date();
    const int days = editedDate.daysUntil(newWhen.date());
    const std::optional<StoredRule> stored = Rule();
    const bool split =
        days != 0 && stored && scope == SeriesScope::Following && Position(number) > 1;
    int kept = 0;
    std::vector<int> reachedPending;
    for (const int index : reached(scope, number)) {
        // Only "this one" may change a done occurrence: the one the user opened.
        if (isDone(index) && (numberAt(index) != number || scope != SeriesScope::This)) {
            ++kept;
        } else {
            reachedPending.push_back(index);
        }
    }
    const std::string series =
        split ? gateway_.GetPrxNrRepetAtivPess(operatorCode_) : seriesNumber_;
    changesTogether({&rows_, &ownDescriptions_, &rules_}, [&] {
        if (description) {
            describe(reachedPending, number, *description);
        }
        std::vector<Date> moved;
        {
            ControlsDisabled held(rows_);
            for (const int index : reachedPending) {
                rows_.MoveTo(index + 1);
                rows_.Edit();
                if (numberAt(index) == number) {
                    for (int field = 0; field < rows_.FieldCount(); ++field) {
                        rows_.Fields(field).SetValue(after[field]);
                    }
                } else {
                    for (std::string_view name : changed) {
                        rows_.FieldByName(name).SetValue(after[fieldOf(name)]);
                    }
                    Field when = rows_.FieldByName(R::DTATIVPESS);
                    const DateTime old = when.AsDateTime();
                    when.SetAsDateTime(DateTime(old.date().addDays(days), timeChanged
                                                                              ? newWhen.timeOfDay()
                                                                              : old.timeOfDay()));
                }
                rows_.FieldByName(R::NRREPETATIVP).SetAsString(series);
                rows_.Post();
                moved.push_back(dateAt(index));
            }
        }
        if (stored && !moved.empty() && (days != 0 || timeChanged)) {
            moveRule(scope, *stored, days, editedDate,
                     timeChanged ? std::optional(newWhen.timeOfDay()) : std::nullopt, moved,
                     series);
        }
    });
    send(ownDescriptions_);
    return kept;
}

void SeriesChange::describe(const std::vector<int>& indexes, const std::string& edited,
                            const DescriptionChange& change) {
    std::vector<std::string> others;
    for (const int index : indexes) {
        if (numberAt(index) != edited) {
            others.push_back(numberAt(index));
        }
    }
    ClientDataSet read("cdsDescsSerie", DescriptionRecord::layout());
    gateway_.GetDescsAFazer(operatorCode_, others, read);
    DataPacket stored{ownDescriptions_.FieldDefs(), {}, {}};
    const auto add = [&](const std::string& number, const Variant& text) {
        Row row(stored.fields.size());
        row[stored.fieldIndex(R::CDOPERADOR)] = Variant(operatorCode_);
        row[stored.fieldIndex(R::NRATIVPESS)] = Variant(number);
        row[stored.fieldIndex(DescriptionRecord::TXATIVPESS)] = text;
        stored.rows.push_back(std::move(row));
    };
    for (int index = 0; index < read.RecordCount(); ++index) {
        const Row& row = read.RowAt(index);
        add(row[read.FieldIndex(R::NRATIVPESS)].toText(),
            row[read.FieldIndex(DescriptionRecord::TXATIVPESS)]);
    }
    const bool editedReached =
        std::ranges::any_of(indexes, [&](int index) { return numberAt(index) == edited; });
    if (editedReached && change.loaded) {
        add(edited, *change.loaded);
    }
    ownDescriptions_.SetData(stored);
    std::map<std::string, int> described;
    for (std::size_t row = 0; row < stored.rows.size(); ++row) {
        described.emplace(stored.rows[row][stored.fieldIndex(R::NRATIVPESS)].toText(),
                          static_cast<int>(row));
    }
    const Variant text(change.text);
    ControlsDisabled held(ownDescriptions_);
    for (const int index : indexes) {
        const std::string number = numberAt(index);
        const auto at = described.find(number);
        if (at != described.end()) {
            ownDescriptions_.MoveTo(at->second + 1);
            if (ownDescriptions_.FieldByName(DescriptionRecord::TXATIVPESS).AsVariant() == text) {
                continue;
            }
            ownDescriptions_.Edit();
        } else if (change.text.bytes.empty()) {
            continue;
        } else {
            ownDescriptions_.Append();
            ownDescriptions_.FieldByName(R::CDOPERADOR).SetAsString(operatorCode_);
            ownDescriptions_.FieldByName(R::NRATIVPESS).SetAsString(number);
        }
        ownDescriptions_.FieldByName(DescriptionRecord::TXATIVPESS).SetValue(text);
        ownDescriptions_.Post();
    }
}

void SeriesChange::moveRule(SeriesScope scope, const StoredRule& stored, int days, Date editedDate,
                            std::optional<std::chrono::milliseconds> time,
                            const std::vector<Date>& moved, const std::string& series) {
    StoredRule next = movedBy(stored, days);
    if (time) {
        next.start = next.start.withTime(*time);
    }
    if (series != seriesNumber_) {
        // The moved part starts where the edited occurrence went; the old rule ends before it.
        setRuleEnd(editedDate.addDays(-1));
        next.start = next.start.withDate(editedDate.addDays(days));
        if (follows(next, moved)) {
            rules_.Append();
            writeStoredRule(rules_, next, operatorCode_, series);
            rules_.Post();
        }
        return;
    }
    // A time change alone moves the rule only with the whole series, as it always did.
    if (rules_.RecordCount() != 1 || (days == 0 && scope != SeriesScope::All)) {
        return;
    }
    rules_.First();
    if (days != 0 && !follows(next, moved)) {
        rules_.Delete();
        return;
    }
    rules_.Edit();
    writeStoredRule(rules_, next, operatorCode_, seriesNumber_);
    rules_.Post();
}

int SeriesChange::ChangeRule(SeriesScope scope, const Row& before, const RecurrenceRule& rule,
                             Date start, const OccurrenceValues& values) {
    const std::string number = before[fieldOf(R::NRATIVPESS)].toText();
    const Date oldDate = whenOf(before).date();
    const int position = Position(number);
    const std::optional<StoredRule> stored = Rule();
    Date newStart = start;
    if (scope == SeriesScope::All) {
        const Date seriesStart = stored ? stored->start.date() : dateAt(0);
        newStart = seriesStart.addDays(oldDate.daysUntil(start));
    }
    const bool split = scope == SeriesScope::Following && position > 1;
    std::set<Date> keptDays;
    int kept = 0;
    {
        ControlsDisabled held(rows_);
        // From the last row back, so that the indexes still ahead stay valid.
        std::vector<int> indexes = reached(scope, number);
        for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
            if (isDone(*index)) {
                keptDays.insert(dateAt(*index));
                ++kept;
                continue;
            }
            rows_.MoveTo(*index + 1);
            rows_.Delete();
        }
    }
    std::vector<Date> days;
    for (const Date day : occurrences(rule, newStart)) {
        if (!keptDays.contains(day)) {
            days.push_back(day);
        }
    }
    const std::string series =
        split ? gateway_.GetPrxNrRepetAtivPess(operatorCode_) : seriesNumber_;
    changesTogether({&rows_, &descriptions_, &rules_}, [&] {
        writer_.AppendOccurrences(days, values, series);
        FlagScope posting(posting_);
        if (split && stored) {
            setRuleEnd(oldDate.addDays(-1));
        }
        if (split || rules_.IsEmpty()) {
            rules_.Append();
        } else {
            rules_.First();
            rules_.Edit();
        }
        writeStoredRule(rules_, StoredRule{rule, DateTime(newStart, values.timeOfDay)},
                        operatorCode_, series);
        rules_.Post();
    });
    send(descriptions_);
    return kept;
}

int SeriesChange::Delete(SeriesScope scope, const std::string& number) {
    const int position = Position(number);
    const Date date = position > 0 ? dateAt(position - 1) : Date();
    int kept = 0;
    {
        ControlsDisabled held(rows_);
        std::vector<int> indexes = reached(scope, number);
        for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
            if (scope != SeriesScope::This && isDone(*index)) {
                ++kept;
                continue;
            }
            rows_.MoveTo(*index + 1);
            rows_.Delete();
        }
    }
    if (rules_.RecordCount() == 1) {
        // The rule of a series goes with its last row, whichever scope took it.
        if (rows_.IsEmpty()) {
            rules_.First();
            rules_.Delete();
        } else if (scope == SeriesScope::Following && position > 1) {
            setRuleEnd(date.addDays(-1));
        }
    }
    send(descriptions_);
    return kept;
}

void SeriesChange::setRuleEnd(Date end) {
    rules_.First();
    rules_.Edit();
    rules_.FieldByName(SeriesRecord::DTTERMREPET).SetAsDateTime(DateTime(end));
    rules_.Post();
}

void SeriesChange::send(ClientDataSet& descriptions) {
    FlagScope posting(posting_);
    std::optional<UndoStep> step;
    if (history_ != nullptr) {
        changesTogether({&rows_, &descriptions, &rules_}, [&] {
            step = history_->Capture(operatorCode_, &rows_, &descriptions, &rules_);
        });
    }
    gateway_.SetSerieAFazer(rows_, descriptions, rules_, kRefreshHostCache,
                            ReminderGateway::OnFailure::CancelChanges);
    if (step) {
        history_->Push(std::move(*step));
    }
}

std::string keptDoneMessage(int kept) {
    return kept == 1
               ? "1 lembrete já realizado foi mantido sem alteração."
               : std::to_string(kept) + " lembretes já realizados foram mantidos sem alteração.";
}

}  // namespace lembrete
