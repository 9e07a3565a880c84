// ReminderQueries: the reads of the agenda, each a data packet ready for the wire.
//
//   agenda       ReminderRecord rows (CDOPERADOR .. NRREPETATIVP, with HORARIO "HH:MM:SS" and
//                DATA "dd/mm/yyyy" computed here) of one operator, filtered and ordered by
//                date-time, then number (numeric order)
//   markedDays   one DTATIVPESS row per day on which the operator has reminders, within a
//                range of days when given (read from the (operator, date) index: the cost is
//                that of the rows in the range)
//   description  the description row of one reminder: none or one
//   series       the ReminderRecord rows of one series (NRREPETATIVP), in date order
//   seriesRule   the SeriesRecord row of one series: none (a series stored without its rule) or
//                one
//
// Every read is scoped to one operator; the caller has checked that it is the session's.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/data_packet.h"
#include "data/date.h"

namespace lembrete {

class StoreConnection;

struct AgendaFilter {
    std::string reference;  // substring, letter case and accents ignored; empty: any
    std::string operatorCode;
    Date day;
    bool showDone = false;     // "R" rows
    bool showPending = false;  // "P" rows
    bool fromDayOn = false;    // from `day` on, else `day` only
};

class ReminderQueries {
  public:
    static DataPacket agenda(StoreConnection& connection, const AgendaFilter& filter);
    static DataPacket markedDays(StoreConnection& connection, const std::string& operatorCode,
                                 std::optional<DayRange> days = std::nullopt);
    // markedDays as the JSON text of its packet, for the wire.
    static std::string markedDaysText(StoreConnection& connection, const std::string& operatorCode,
                                      std::optional<DayRange> days = std::nullopt);
    static DataPacket description(StoreConnection& connection, const std::string& operatorCode,
                                  const std::string& number);

    static DataPacket series(StoreConnection& connection, const std::string& operatorCode,
                             const std::string& seriesNumber);
    static DataPacket seriesRule(StoreConnection& connection, const std::string& operatorCode,
                                 const std::string& seriesNumber);

    // The empty packets (field definitions only) of the reads.
    static DataPacket seriesRuleFields();
    static DataPacket agendaFields();
    static DataPacket markedDayFields();
    static DataPacket descriptionFields();

  private:
    // Each day with reminders, in order: the first stored date-time text of that day, unchecked.
    static void forEachMarkedDay(StoreConnection& connection, const std::string& operatorCode,
                                 std::optional<DayRange> days,
                                 const std::function<void(std::string_view stored)>& visit);
};

}  // namespace lembrete
