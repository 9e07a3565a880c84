// SeriesWriter: stores the occurrences of a repeating reminder through the editor's two
// datasets, as few round trips and all or nothing.
//
// It takes one repetition number, reserves the reminder numbers as one block (a block per
// ten thousand occurrences), posts one reminder row and one description row per occurrence
// while Posting() is true (the datasets' after-post handlers then leave the sending to the
// writer), and sends each dataset's change log once: the reminders, then the descriptions,
// each applied by the server in one transaction. A reminder row being inserted becomes the
// first occurrence; a row being edited is posted with the series and so stored with it.
// If anything fails, both datasets' pending changes are cancelled and, when the reminders had
// already landed, they are taken back (the edited row gets its stored values again), so that
// nothing of the series stays; the failure then goes on to the caller.
//
// The writer refers to the datasets and the gateway its owner (the editor form) holds; it
// owns nothing.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/date.h"
#include "data/reminder_gateway.h"

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
    Blob description;
};

class SeriesWriter {
  public:
    // The most reminder numbers one GetPrxAtivPessoalBloco call may reserve.
    static constexpr int kNumbersPerBlock = 10000;

    SeriesWriter(ClientDataSet& reminders, ClientDataSet& descriptions, ReminderGateway& gateway);

    // True while the occurrence rows are being posted or taken back.
    bool Posting() const { return posting_; }

    // Stores one occurrence per day (see above). Throws what the gateway throws (an Abandon
    // after the host reported a server failure).
    void Write(const std::vector<Date>& days, const OccurrenceValues& values);

  private:
    // The row being edited when the series started: its number and its stored values.
    struct EditedRow {
        std::string number;
        Row stored;
    };

    std::vector<std::string> reserveNumbers(const std::string& operatorCode, std::size_t count);
    void post(Date day, const std::string& number, const std::string& series,
              const OccurrenceValues& values);
    void send(const EditedRow& edited, int occurrences);
    void takeBack(const EditedRow& edited, int occurrences);

    ClientDataSet& reminders_;
    ClientDataSet& descriptions_;
    ReminderGateway& gateway_;
    bool posting_ = false;
};

}  // namespace lembrete
