// UndoHistory: takes back the latest deletes, toggles and series changes of the agenda window.
//
// Before a change is sent, Capture() keeps its deltas (reminders, descriptions, a series' rule)
// and reads, in one call, the descriptions of the reminders it deletes (the server deletes them
// with their reminder). Once the send succeeded, Push() makes it the latest step. Undo() sends
// the latest step's inverse as one SetSerieAFazer: deleted rows come back with the same numbers
// and descriptions, changed rows get their values back, inserted rows are deleted. The inverse
// expects every row as the change left it, so under the server's conflict rule a row changed
// since refuses the whole undo: nothing is undone, the user is told why, and the step is dropped
// (it can no longer be taken back as it was). At most kSteps steps are kept, the oldest going
// first.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "data/client_data_set.h"
#include "data/data_packet.h"
#include "data/reminder_gateway.h"

namespace lembrete {

// The deltas one change sent (an empty packet where it sent none to that table).
struct UndoStep {
    DataPacket reminders;
    DataPacket descriptions;
    DataPacket rules;
};

class UndoHistory {
  public:
    static constexpr std::size_t kSteps = 20;
    static constexpr const char* kRefusedLead = "Não foi possível desfazer. ";

    explicit UndoHistory(ReminderGateway& gateway) : gateway_(gateway) {}

    // The step of the changes logged in these datasets (each may be null); reads the
    // descriptions of the deleted reminders that `descriptions` does not delete itself.
    UndoStep Capture(const std::string& operatorCode, const ClientDataSet* reminders,
                     const ClientDataSet* descriptions = nullptr,
                     const ClientDataSet* rules = nullptr);
    void Push(UndoStep step);
    bool Empty() const { return steps_.empty(); }
    // Sends the inverse of the latest step (there must be one) and drops it; throws what the
    // gateway throws (an Abandon after the host showed kRefusedLead and the server's reason).
    void Undo();
    // Told whenever the history gains or loses a step.
    std::function<void()> OnChange;

  private:
    void changed() const;

    ReminderGateway& gateway_;
    std::deque<UndoStep> steps_;
};

}  // namespace lembrete
