// TransferDialogs: the dialogs of the agenda's calendar-file items (see AgendaTransfer), which
// the desktop shows with real widgets and tests answer with a script.
//
// Every method is modal and returns what the user chose; an empty optional means the user
// cancelled, and nothing is written then. None of them throws. The implementation belongs to
// whoever builds the AgendaTransfer and must outlive it. User-interface thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "data/date.h"
#include "interchange/reminder_importer.h"

namespace lembrete {

// Which reminders an export takes.
struct ExportChoice {
    enum class Scope { Listed, Range, All };
    Scope scope = Scope::Listed;
    Date from;  // Range only: the first and last day, included
    Date to;
};

// A progress bar over a long task; it goes when destroyed.
class TransferProgress {
  public:
    virtual ~TransferProgress() = default;
    // `done` of `total` steps; false once the user asked to stop.
    virtual bool Step(std::size_t done, std::size_t total) = 0;
};

class TransferDialogs {
  public:
    virtual ~TransferDialogs() = default;

    // The reminders to export; `listed` is how many the agenda lists now (none: that choice is
    // off), `suggested` the choice shown first.
    virtual std::optional<ExportChoice> ChooseExport(std::size_t listed,
                                                     const ExportChoice& suggested) = 0;
    // The file to write, offered as `suggestedName`; the file to read.
    virtual std::optional<std::string> SaveFilePath(const std::string& suggestedName) = 0;
    virtual std::optional<std::string> OpenFilePath() = 0;

    // Shows what an import would do and asks for it; when the file has references longer than
    // a reminder's, also whether to cut them. `keeping` is the import that refuses them,
    // `cutting` the one that cuts them. Returns the cut choice, or none when cancelled.
    virtual std::optional<bool> ConfirmImport(const ImportPreview& keeping,
                                              const ImportPreview& cutting) = 0;
    // A progress bar titled `caption`, shown while the returned object lives.
    virtual std::unique_ptr<TransferProgress> ShowProgress(const std::string& caption,
                                                           std::size_t total) = 0;

    // Shows the feed's `address` (empty: none yet) with a way to copy it and to ask for a new
    // one: `renew` returns the new address, or none when it was not renewed (the reason was
    // shown already).
    using Renewal = std::function<std::optional<std::string>()>;
    virtual void ShowFeedAddress(const std::string& address, const Renewal& renew) = 0;
};

}  // namespace lembrete
