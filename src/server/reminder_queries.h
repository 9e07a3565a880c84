// ReminderQueries: the reads of the agenda, each a data packet ready for the wire.
//
//   agenda       ReminderRecord rows (CDOPERADOR .. NRREPETATIVP, with HORARIO "HH:MM:SS" and
//                DATA "dd/mm/yyyy" computed here) of one operator, filtered and ordered by
//                date-time, then number (numeric order)
//   range        the same rows and order for a range of days (the week and month views)
//   search       one page of the operator's ReminderRecord rows whose reference or description
//                contains a text (folded as the reference filter), newest first: date-time
//                descending, then number descending; each page starts after the last row of
//                the one before (a key, not an offset, so a page costs the same however deep)
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

// The rows of the agenda's views: the days of `days`, filtered as AgendaFilter.
struct RangeFilter {
    std::string reference;
    std::string operatorCode;
    DayRange days;
    bool showDone = false;
    bool showPending = false;
};

// One page of a search; the page after `after` (the DTATIVPESS and NRATIVPESS of the last row
// of the previous page), the first page without it.
struct SearchRequest {
    struct Position {
        DateTime when;
        long long number = 0;
    };
    std::string operatorCode;
    std::string text;
    std::optional<Position> after;
    int pageSize = 0;
};

class ReminderQueries {
  public:
    // Each row of a read as it is read, for a result written on the fly (not kept after).
    using RowVisitor = std::function<void(const Row& row)>;

    static DataPacket agenda(StoreConnection& connection, const AgendaFilter& filter);
    static void agenda(StoreConnection& connection, const AgendaFilter& filter,
                       const RowVisitor& visit);
    static DataPacket range(StoreConnection& connection, const RangeFilter& filter);
    static void range(StoreConnection& connection, const RangeFilter& filter,
                      const RowVisitor& visit);
    // A search reads this many of the newest rows (after its position) before it looks the rest
    // of its page up by the keys (search_index.h).
    static constexpr int kScanWindow = 1000;
    static DataPacket search(StoreConnection& connection, const SearchRequest& request);
    // Stores the search key of every description (DSDESCBUSCA): the schema step that brings
    // the descriptions written before the key existed into the search.
    static void keyAllDescriptions(StoreConnection& connection);
    static DataPacket markedDays(StoreConnection& connection, const std::string& operatorCode,
                                 std::optional<DayRange> days = std::nullopt);
    // markedDays as the JSON text of its packet, for the wire.
    static std::string markedDaysText(StoreConnection& connection, const std::string& operatorCode,
                                      std::optional<DayRange> days = std::nullopt);
    static DataPacket description(StoreConnection& connection, const std::string& operatorCode,
                                  const std::string& number);

    static DataPacket series(StoreConnection& connection, const std::string& operatorCode,
                             const std::string& seriesNumber);
    static void series(StoreConnection& connection, const std::string& operatorCode,
                       const std::string& seriesNumber, const RowVisitor& visit);
    static DataPacket seriesRule(StoreConnection& connection, const std::string& operatorCode,
                                 const std::string& seriesNumber);

    // The empty packets (field definitions only) of the reads.
    static DataPacket seriesRuleFields();
    static DataPacket agendaFields();
    static DataPacket markedDayFields();
    static DataPacket descriptionFields();

  private:
    // The rows of stored date-times from `from` (included) to `until` (excluded), ISO text.
    static void rows(StoreConnection& connection, const RangeFilter& filter,
                     const std::string& from, const std::string& until, const RowVisitor& visit);
    static void searchRows(StoreConnection& connection, const SearchRequest& request,
                           const RowVisitor& visit);
    // Where the scan window ends (its last row's date-time, number 0), none when fewer rows
    // are left.
    static std::optional<SearchRequest::Position> windowEnd(StoreConnection& connection,
                                                            const SearchRequest& request);
    // At most `limit` rows of a search read newest first, down to `floor` (included) if given.
    static void scanRows(StoreConnection& connection, const SearchRequest& request,
                         const std::string& key,
                         const std::optional<SearchRequest::Position>& floor, int limit,
                         const RowVisitor& visit);
    // At most `limit` rows of a search, those after `after`, found by their keys (search_index.h).
    static void matchedRows(StoreConnection& connection, const SearchRequest& request,
                            const std::string& key, const SearchRequest::Position& after, int limit,
                            const RowVisitor& visit);
    // The packet of the rows a read visits.
    static DataPacket collect(const std::function<void(const RowVisitor&)>& read);
    // Each day with reminders, in order: the first stored date-time text of that day, unchecked.
    static void forEachMarkedDay(StoreConnection& connection, const std::string& operatorCode,
                                 std::optional<DayRange> days,
                                 const std::function<void(std::string_view stored)>& visit);
};

}  // namespace lembrete
