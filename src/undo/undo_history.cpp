#include "undo/undo_history.h"

#include <set>
#include <vector>

#include "data/reminder_record.h"
#include "data/series_record.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

DataPacket deltaOf(const ClientDataSet* dataSet) {
    return dataSet != nullptr ? dataSet->Delta() : DataPacket{};
}

// The reminder numbers of the changes of `kind` in a delta.
std::set<std::string> numbersOf(const DataPacket& delta, ChangeKind kind) {
    std::set<std::string> numbers;
    const int field = delta.fieldIndex(R::NRATIVPESS);
    if (field < 0) {
        return numbers;
    }
    for (const Change& change : delta.changes) {
        if (change.kind == kind) {
            const Row& row = kind == ChangeKind::Delete ? change.oldValues : change.newValues;
            numbers.insert(row[static_cast<std::size_t>(field)].toText());
        }
    }
    return numbers;
}

// Posts into `target` (opened on `layout`) the inverse of `forward`: the rows the change left
// are loaded, then given back their old values, inserted again or deleted. Changes of the
// reminders in `gone` are left out: the server deletes those rows with their reminder.
void postInverse(const DataPacket& forward, ClientDataSet& target,
                 const std::set<std::string>& gone = {}) {
    if (forward.fields.empty()) {
        target.Open();
        return;
    }
    const int numberField = forward.fieldIndex(R::NRATIVPESS);
    std::vector<const Change*> changes;
    for (const Change& change : forward.changes) {
        const Row& row = change.kind == ChangeKind::Delete ? change.oldValues : change.newValues;
        if (numberField < 0 ||
            !gone.contains(row[static_cast<std::size_t>(numberField)].toText())) {
            changes.push_back(&change);
        }
    }
    DataPacket left;
    left.fields = forward.fields;
    for (const Change* change : changes) {
        if (change->kind != ChangeKind::Delete) {
            left.rows.push_back(change->newValues);
        }
    }
    target.SetData(left);
    const auto give = [&](const Row& values) {
        for (int field = 0; field < target.FieldCount(); ++field) {
            target.Fields(field).SetValue(values[static_cast<std::size_t>(field)]);
        }
        target.Post();
    };
    std::vector<int> inserted;
    int row = 0;
    for (const Change* change : changes) {
        if (change->kind == ChangeKind::Update) {
            target.MoveTo(row + 1);
            target.Edit();
            give(change->oldValues);
        } else if (change->kind == ChangeKind::Insert) {
            inserted.push_back(row);
        }
        row += change->kind == ChangeKind::Delete ? 0 : 1;
    }
    for (const Change* change : changes) {
        if (change->kind == ChangeKind::Delete) {
            target.Append();
            give(change->oldValues);
        }
    }
    // From the last one back, so that the rows still to go keep their places.
    for (auto at = inserted.rbegin(); at != inserted.rend(); ++at) {
        target.MoveTo(*at + 1);
        target.Delete();
    }
}

}  // namespace

UndoStep UndoHistory::Capture(const std::string& operatorCode, const ClientDataSet* reminders,
                              const ClientDataSet* descriptions, const ClientDataSet* rules) {
    UndoStep step{deltaOf(reminders), deltaOf(descriptions), deltaOf(rules)};
    std::vector<std::string> unread;
    const std::set<std::string> described = numbersOf(step.descriptions, ChangeKind::Delete);
    for (const std::string& number : numbersOf(step.reminders, ChangeKind::Delete)) {
        if (!described.contains(number)) {
            unread.push_back(number);
        }
    }
    if (unread.empty()) {
        return step;
    }
    ClientDataSet read("cdsDescDesfazer", DescriptionRecord::layout());
    gateway_.GetDescsAFazer(operatorCode, unread, read);
    if (step.descriptions.fields.empty()) {
        step.descriptions.fields = read.FieldDefs();
    }
    for (int index = 0; index < read.RecordCount(); ++index) {
        const Row& stored = read.RowAt(index);
        Row row;
        for (const FieldDef& field : step.descriptions.fields) {
            row.push_back(stored[static_cast<std::size_t>(read.FieldIndex(field.name))]);
        }
        step.descriptions.changes.push_back(Change{ChangeKind::Delete, std::move(row), {}});
    }
    return step;
}

void UndoHistory::Push(UndoStep step) {
    steps_.push_back(std::move(step));
    if (steps_.size() > kSteps) {
        steps_.pop_front();
    }
    changed();
}

void UndoHistory::Undo() {
    const UndoStep step = std::move(steps_.back());
    steps_.pop_back();
    changed();
    ClientDataSet reminders("cdsDesfazer", R::layout());
    ClientDataSet descriptions("cdsDescDesfazer", DescriptionRecord::layout());
    ClientDataSet rules("cdsRegraDesfazer", SeriesRecord::layout());
    postInverse(step.reminders, reminders);
    postInverse(step.descriptions, descriptions, numbersOf(step.reminders, ChangeKind::Insert));
    postInverse(step.rules, rules);
    gateway_.SetSerieAFazer(reminders, descriptions, rules, true,
                            ReminderGateway::OnFailure::KeepChanges, kRefusedLead);
}

void UndoHistory::changed() const {
    if (OnChange) {
        OnChange();
    }
}

}  // namespace lembrete
