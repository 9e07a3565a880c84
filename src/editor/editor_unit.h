// EditorUnit: the reminder editor's module-level state, one object per loaded module, and its
// entry CriaManutAFazer.
//
// It holds the number being edited (EditNumber, empty for a new reminder), whether a save
// reloads the agenda (RefreshAgenda), the editor while it exists (frmManutAFazer,
// EditorCreated) and the repetition rule the editor's "Repetições" tab edits. On construction
// it hands CriaManutAFazer to the agenda module, which calls it from the agenda window (the
// agenda never includes the editor); on destruction it takes the entry back. The module must
// outlive the unit. Single-threaded: the user-interface thread calls everything.
#pragma once

#include <memory>
#include <string>

#include "editor/frm_manut_afazer.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

class AgendaModule;

class EditorUnit {
  public:
    explicit EditorUnit(AgendaModule& module);
    ~EditorUnit();
    EditorUnit(const EditorUnit&) = delete;
    EditorUnit& operator=(const EditorUnit&) = delete;

    // Opens the editor modally for `number` (empty: a new reminder) under the hourglass; with
    // `refresh` a save reloads the agenda window and moves it to the reminder's day. The editor
    // is created for the opening and released once the dialog has closed; a call while it is
    // open only stores the arguments. Throws
    // std::logic_error when the agenda window is not open (the editor works on its list).
    void CriaManutAFazer(const std::string& number, bool refresh);

    std::string EditNumber;
    bool RefreshAgenda = false;
    bool EditorCreated = false;
    std::unique_ptr<TfrmManutAFazer> frmManutAFazer;
    RecurrenceRule Rule;

  private:
    AgendaModule& module_;
};

}  // namespace lembrete
