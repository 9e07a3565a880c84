#include "support/reminder_deltas.h"

#include "data/reminder_record.h"
#include "data/series_record.h"

namespace lembrete::testing {

Row reminderRow(const ReminderValues& values) {
    return {values.operatorCode,
            values.number,
            values.reference,
            values.when,
            values.state,
            values.alarm,
            values.lead,
            values.unit,
            values.when.formatTime(),
            values.priority.empty() ? Variant() : Variant(values.priority),
            values.when.date().format(),
            values.repetition};
}

DataPacket reminderDelta(std::vector<Change> changes) {
    return {ReminderRecord::fields(), {}, std::move(changes)};
}

Row descriptionRow(const std::string& operatorCode, const std::string& number,
                   const std::string& text) {
    return {Blob{text}, operatorCode, number};
}

DataPacket descriptionDelta(std::vector<Change> changes) {
    return {DescriptionRecord::fields(), {}, std::move(changes)};
}

Row seriesRow(const std::string& operatorCode, const std::string& series, const std::string& kind,
              const std::string& interval, const std::string& weekdays, DateTime start,
              Variant end) {
    return {operatorCode, series, kind, interval, weekdays, "1", start, std::move(end)};
}

DataPacket seriesDelta(std::vector<Change> changes) {
    return {SeriesRecord::fields(), {}, std::move(changes)};
}

Change insertOf(Row row) {
    return {ChangeKind::Insert, {}, std::move(row)};
}

Change updateOf(Row oldRow, Row newRow) {
    return {ChangeKind::Update, std::move(oldRow), std::move(newRow)};
}

Change deleteOf(Row oldRow) {
    return {ChangeKind::Delete, std::move(oldRow), {}};
}

void setNewValue(Change& change, std::size_t index, Variant value) {
    Row row = change.newValues;
    row.at(index) = std::move(value);
    change.newValues = std::move(row);
}

std::string render(const DataPacket& agenda) {
    const int number = agenda.fieldIndex("NRATIVPESS");
    const int reference = agenda.fieldIndex("DSREFEATPESS");
    const int day = agenda.fieldIndex("DATA");
    const int time = agenda.fieldIndex("HORARIO");
    const int state = agenda.fieldIndex("IDSITUATPESS");
    std::string text;
    for (const auto& row : agenda.rows) {
        text += (text.empty() ? "" : "; ") + row[number].toText() + " " + row[reference].toText() +
                " " + row[day].toText() + " " + row[time].toText() + " " + row[state].toText();
    }
    return text;
}

}  // namespace lembrete::testing
