// AgendaModule: the module's state, one object per loaded module, and its exported entries.
//
// It gathers the units of the module: the agenda unit (the agenda window frmAFazer and its
// created flag boIdCriado) and the go-to-day unit (dtData and the go-to-day dialog), and holds
// the host for their whole life. The Qt module keeps one AgendaModule and exports C entries that
// call IniProc / CriaAFazer / CriaIrParaDia here; the editor reaches the agenda window's single
// instance through Agenda().frmAFazer().
//
// The editor lives above the agenda, so the agenda never includes it: the editor's entry
// CriaManutAFazer(number, refresh) is handed in with SetCriaManutAFazer, and the agenda window
// calls it through CriaManutAFazer here.
//
// The exported entries never let an exception out: an Abandon (already reported) ends the call
// silently, anything else is shown through the host's error dialog (MensErro without abort).
// Single-threaded: the user-interface thread calls everything.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "agenda/agenda_unit.h"
#include "agenda/go_to_day_unit.h"
#include "data/date.h"

namespace lembrete {

class HostServices;

class AgendaModule {
  public:
    using EditorEntry = std::function<void(const std::string& number, bool refresh)>;

    explicit AgendaModule(HostServices& host);
    ~AgendaModule();
    AgendaModule(const AgendaModule&) = delete;
    AgendaModule& operator=(const AgendaModule&) = delete;

    HostServices& Host() const { return host_; }
    AgendaUnit& Agenda() { return agenda_; }
    GoToDayUnit& GoToDay() { return goToDay_; }

    // The editor's entry; set once by whoever builds the editor.
    void SetCriaManutAFazer(EditorEntry entry) { editor_ = std::move(entry); }
    // Opens the editor for `number` (empty: a new reminder). Throws std::logic_error when no
    // editor entry was handed in.
    void CriaManutAFazer(const std::string& number, bool refresh);

    // The entries of the agenda's calendar-file items in menu "Operação" ("Exportar…",
    // "Importar…", "Endereço do calendário…"). iCalendar lives beside the core, so whoever
    // builds it hands them in, as the editor's entry is; an agenda window created without them
    // hides the items.
    struct CalendarEntries {
        std::function<void()> exportFile;
        std::function<void()> importFile;
        std::function<void()> feedAddress;
    };
    void SetCalendarEntries(CalendarEntries entries) { calendar_ = std::move(entries); }
    const CalendarEntries& Calendar() const { return calendar_; }

    // --- exported entries: never throw ---------------------------------------------------
    void IniProc() noexcept;
    void CriaAFazer() noexcept;
    void CriaIrParaDia(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day) noexcept;
    // The agenda window, opened when needed, on reminder `number` of `day` (for the alarms).
    void MostraLembrete(const std::string& number, Date day) noexcept;
    // Reloads an open agenda's list, keeping its cursor's row: the reminders changed elsewhere.
    void RecarregaAgenda() noexcept;

    // Runs `entry` as an exported entry does: an Abandon ends it silently, any other exception
    // is shown through the host and swallowed. For every entry of the module (the editor's too).
    static void Guarded(HostServices& host, const std::function<void()>& entry) noexcept;

  private:
    HostServices& host_;
    GoToDayUnit goToDay_;
    AgendaUnit agenda_;
    EditorEntry editor_;
    CalendarEntries calendar_;
};

}  // namespace lembrete
