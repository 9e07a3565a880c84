#include "series/series_change.h"

#include <algorithm>
#include <array>
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

int SeriesChange::ChangeFields(SeriesScope scope, const Row& before, const Row& after) {
    const std::string number = before[fieldOf(R::NRATIVPESS)].toText();
    std::vector<std::string_view> changed;
    for (std::string_view name : kSharedFields) {
        if (before[fieldOf(name)] != after[fieldOf(name)]) {
            changed.push_back(name);
        }
    }
    const bool timeChanged = whenOf(before).timeOfDay() != whenOf(after).timeOfDay();
    int kept = 0;
    {
        ControlsDisabled held(rows_);
        for (const int index : reached(scope, number)) {
            rows_.MoveTo(index + 1);
            const bool edited = rows_.FieldByName(R::NRATIVPESS).AsString() == number;
            // Only "this one" may change a done occurrence: the one the user opened.
            if (isDone(index) && (!edited || scope != SeriesScope::This)) {
                ++kept;
                continue;
            }
            rows_.Edit();
            if (edited) {
                for (int field = 0; field < rows_.FieldCount(); ++field) {
                    rows_.Fields(field).SetValue(after[field]);
                }
            } else {
                for (std::string_view name : changed) {
                    rows_.FieldByName(name).SetValue(after[fieldOf(name)]);
                }
                if (timeChanged) {
                    Field when = rows_.FieldByName(R::DTATIVPESS);
                    when.SetAsDateTime(when.AsDateTime().withTime(whenOf(after).timeOfDay()));
                }
            }
            rows_.Post();
        }
    }
    if (timeChanged && scope == SeriesScope::All && rules_.RecordCount() == 1) {
        rules_.First();
        rules_.Edit();
        Field start = rules_.FieldByName(SeriesRecord::DTINICREPET);
        start.SetAsDateTime(start.AsDateTime().withTime(whenOf(after).timeOfDay()));
        rules_.Post();
    }
    send();
    return kept;
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
    send();
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
    if (scope != SeriesScope::This && rules_.RecordCount() == 1) {
        if (rows_.IsEmpty()) {
            rules_.First();
            rules_.Delete();
        } else if (scope == SeriesScope::Following && position > 1) {
            setRuleEnd(date.addDays(-1));
        }
    }
    send();
    return kept;
}

void SeriesChange::setRuleEnd(Date end) {
    rules_.First();
    rules_.Edit();
    rules_.FieldByName(SeriesRecord::DTTERMREPET).SetAsDateTime(DateTime(end));
    rules_.Post();
}

void SeriesChange::send() {
    FlagScope posting(posting_);
    std::optional<UndoStep> step;
    if (history_ != nullptr) {
        changesTogether({&rows_, &descriptions_, &rules_}, [&] {
            step = history_->Capture(operatorCode_, &rows_, &descriptions_, &rules_);
        });
    }
    gateway_.SetSerieAFazer(rows_, descriptions_, rules_, kRefreshHostCache,
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
