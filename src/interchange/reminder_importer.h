// ReminderImporter: the reminders read from a calendar file (CalendarReader) stored for one
// operator, with a preview first and then all or nothing.
//
// An entry whose event was imported before (the same UID and occurrence, ImportKeyRecord),
// or that the operator's own export wrote (reminder_uid.h), updates that reminder instead of
// adding one (or adds it again when it was deleted meanwhile); a new entry gets a number from a
// block reserved at once, and the entries of one series a repetition number of their own.
// Everything goes to the server as one call with the four deltas (reminders, descriptions,
// origins, and the rules of the series whose file carried them), applied in one transaction
// (SetImportAFazer): nothing is stored when anything is refused.
//
// A reference longer than a reminder's is cut to it only when the caller says so, else that
// entry is refused; an event repeated in the file is taken once. The importer owns its four
// working datasets; the gateway belongs to the caller. Failures go on as the gateway throws
// them (an Abandon after the host reported a server failure).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/reminder_gateway.h"
#include "interchange/calendar_reader.h"

namespace lembrete {

struct ImportPreview {
    std::size_t toAdd = 0;
    std::size_t toUpdate = 0;
    std::optional<Date> first;
    std::optional<Date> last;
    std::size_t longReferences = 0;  // cut when asked, else refused
    std::vector<CalendarRefusal> refused;

    std::size_t refusedCount() const;
    // The preview as the user reads it (Portuguese, several lines).
    std::string text() const;
};

struct ImportReport {
    std::size_t imported = 0;
    std::size_t refused = 0;
    // "1.204 lembretes importados, 3 recusados".
    std::string text() const;
};

class ReminderImporter {
  public:
    // Called now and then while writing: rows prepared so far and in all. A Progress that
    // throws stops the import before anything is sent; its last call (done == total) comes
    // once everything is stored.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    ReminderImporter(ReminderGateway& gateway, std::string operatorCode);

    // What write() would do with `contents` (reads the operator's earlier imports).
    ImportPreview preview(const CalendarContents& contents, bool cutLongReferences);

    ImportReport write(const CalendarContents& contents, bool cutLongReferences,
                       const Progress& progress = nullptr);

  private:
    struct Plan {
        std::vector<const CalendarEntry*> entries;  // to store, in file order
        std::vector<std::string> numbers;           // per entry: the reminder it updates, or ""
        ImportPreview preview;
    };

    Plan plan(const CalendarContents& contents, bool cutLongReferences);
    void loadStoredRows();
    void post(const CalendarEntry& entry, const std::string& number, bool update,
              const std::string& series, bool cut);

    ReminderGateway& gateway_;
    std::string operatorCode_;
    ClientDataSet reminders_;
    ClientDataSet descriptions_;
    ClientDataSet keys_;
    ClientDataSet rules_;
};

// `count` with a dot between thousands ("1.204").
std::string formatCount(std::size_t count);

}  // namespace lembrete
