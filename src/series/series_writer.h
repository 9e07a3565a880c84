// SeriesWriter: stores the occurrences of a repeating reminder through three datasets (the
// reminder rows, their descriptions and the series' rule), in a few round trips and all or
// nothing.
//
// It takes one repetition number, reserves the reminder numbers as one block (a block per
// ten thousand occurrences), posts one reminder row and one description row per occurrence
// while Posting() is true (the datasets' after-post handlers then leave the sending to the
// writer), adds the rule's row, and sends the three change logs as one SetSerieAFazer, which
// the server applies in one transaction. A reminder row being inserted becomes the first
// occurrence; a row being edited is posted with the series and so stored with it. If anything
// fails, the three datasets' pending changes are cancelled, so nothing of the series stays,
// and the failure goes on to the caller.
//
// The writer refers to the datasets and the gateway its owner holds; it owns nothing.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/date.h"
#include "data/reminder_gateway.h"
#include "recurrence/stored_rule.h"

namespace lembrete {

// Every successful write of the editor tells the host that ATIVPESSOAL changed, so that the
// host's copy follows.
inline constexpr bool kRefreshHostCache = true;

// What every occurrence of one series shares.
struct OccurrenceValues {
    std::string operatorCode;
    std::string reference;
    std::chrono::seconds timeOfDay{0};
    std::string alarm;  // "S" / "N"
    Variant lead;       // null when not given
    Variant unit;       // null when not given
    Variant priority;   // null when not given
    Blob description;
};

class SeriesWriter {
  public:
    // The most reminder numbers one GetPrxAtivPessoalBloco call may reserve.
    static constexpr int kNumbersPerBlock = 10000;

    // Reserves `count` reminder numbers of the operator, a block per kNumbersPerBlock.
    static std::vector<std::string> ReserveNumbers(ReminderGateway& gateway,
                                                   const std::string& operatorCode,
                                                   std::size_t count);

    SeriesWriter(ClientDataSet& reminders, ClientDataSet& descriptions, ClientDataSet& rules,
                 ReminderGateway& gateway);

    // True while the occurrence rows are being posted.
    bool Posting() const { return posting_; }

    // Stores a new series: one occurrence per day and `rule` (see above). Throws what the
    // gateway throws (an Abandon after the host reported a server failure).
    void Write(const std::vector<Date>& days, const OccurrenceValues& values,
               const RecurrenceRule& rule, DateTime start);

    // Posts one pending occurrence per day of series `series` into the reminders and the
    // descriptions, with numbers reserved from the server; nothing is sent.
    void AppendOccurrences(const std::vector<Date>& days, const OccurrenceValues& values,
                           const std::string& series);

  private:
    void post(Date day, const std::string& number, const std::string& series,
              const OccurrenceValues& values);

    ClientDataSet& reminders_;
    ClientDataSet& descriptions_;
    ClientDataSet& rules_;
    ReminderGateway& gateway_;
    bool posting_ = false;
};

}  // namespace lembrete
