// AgendaTransfer: what the agenda's calendar-file items in menu "Operação" do.
//
// "Exportar…": the reminders listed now, those of a range of days or all of them, into an
// iCalendar file the user picks. The server writes the text (GetICalAFazer) in this machine's
// zone, in which the user entered the reminders' times; the chosen file is replaced only once
// the whole text is written.
// "Importar…": a calendar file read (CalendarReader), its preview shown with the question
// whether to cut long references, then everything stored at once (ReminderImporter) under a
// progress bar that can stop it before anything is sent; the report is shown and the agenda's
// list reloaded.
// "Endereço do calendário…": the address of the operator's calendar feed on the server this
// client uses (GetCalendarioAFazer), with a renewal that replaces it (SetCalendarioAFazer).
//
// Failures are shown through the host and end the action with nothing written: a file that
// cannot be read, is not a calendar or is too large; a file that cannot be written; a call the
// server refuses. Entries() hands the three to the module; they run only while the agenda
// window is open (its menu calls them). The module and the dialogs belong to the caller and
// outlive this object. User-interface thread only.
#pragma once

#include <string>

#include "agenda/agenda_module.h"
#include "interchange/transfer_dialogs.h"

namespace lembrete {

class TfrmAFazer;

class AgendaTransfer {
  public:
    AgendaTransfer(AgendaModule& module, TransferDialogs& dialogs);

    void Exportar();
    void Importar();
    void EnderecoCalendario();

    // The three as the module's entries: each guarded as an exported entry is.
    AgendaModule::CalendarEntries Entries();

    // "http://HOST:PORT/calendario/TOKEN.ics" for the feed path `path` on the host's server;
    // empty for an empty path.
    static std::string FeedAddress(const std::string& host, int port, const std::string& path);

  private:
    TfrmAFazer& agenda() const;
    std::string feedAddress(const std::string& path) const;
    std::optional<std::string> renewFeed();

    AgendaModule& module_;
    TransferDialogs& dialogs_;
};

}  // namespace lembrete
