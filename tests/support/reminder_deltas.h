// Builders for the rows and deltas the tests send, in the layouts the clients use, and a short
// rendering of agenda packets for whole-state comparisons.
#pragma once

#include <string>
#include <vector>

#include "data/data_packet.h"

namespace lembrete::testing {

// An empty priority is sent as null, as the editor sends it.
struct ReminderValues {
    ReminderValues(std::string operatorCode, std::string number, std::string reference,
                   DateTime when, std::string state = "P", std::string alarm = "N",
                   Variant lead = {}, std::string unit = "", std::string priority = "",
                   std::string repetition = "")
        : operatorCode(std::move(operatorCode)),
          number(std::move(number)),
          reference(std::move(reference)),
          when(when),
          state(std::move(state)),
          alarm(std::move(alarm)),
          lead(std::move(lead)),
          unit(std::move(unit)),
          priority(std::move(priority)),
          repetition(std::move(repetition)) {}

    std::string operatorCode;
    std::string number;
    std::string reference;
    DateTime when;
    std::string state;
    std::string alarm;
    Variant lead;
    std::string unit;
    std::string priority;
    std::string repetition;
};

// A ReminderRecord row (12 fields, HORARIO and DATA filled as the server does).
Row reminderRow(const ReminderValues& values);
DataPacket reminderDelta(std::vector<Change> changes);

Row descriptionRow(const std::string& operatorCode, const std::string& number,
                   const std::string& text);
DataPacket descriptionDelta(std::vector<Change> changes);

// A SeriesRecord row; a null `end` is a series with no end date.
Row seriesRow(const std::string& operatorCode, const std::string& series, const std::string& kind,
              const std::string& interval, const std::string& weekdays, DateTime start,
              Variant end = {});
DataPacket seriesDelta(std::vector<Change> changes);

Change insertOf(Row row);
Change updateOf(Row oldRow, Row newRow);
Change deleteOf(Row oldRow);
// The change with value `index` of its new row replaced (a change's rows are immutable).
void setNewValue(Change& change, std::size_t index, Variant value);

// "number reference dd/mm/yyyy HH:MM:SS state" per row, joined by "; ".
std::string render(const DataPacket& agenda);

}  // namespace lembrete::testing
