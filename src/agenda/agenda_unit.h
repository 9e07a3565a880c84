// AgendaUnit: the agenda window's module-level state: the single instance frmAFazer and the
// flag boIdCriado that says it exists.
//
// CriaAFazer creates the window the first time (and again after it was closed), shows it and
// puts it back to the normal window state, under the hourglass cursor. Closing the window
// clears boIdCriado; the closed form is released by the next CriaAFazer (never inside its
// own close handler). The unit owns the form.
#pragma once

#include <memory>

namespace lembrete {

class AgendaModule;
class TfrmAFazer;

class AgendaUnit {
  public:
    explicit AgendaUnit(AgendaModule& module);
    ~AgendaUnit();
    AgendaUnit(const AgendaUnit&) = delete;
    AgendaUnit& operator=(const AgendaUnit&) = delete;

    // The agenda window while it exists (boIdCriado), else nullptr.
    TfrmAFazer* frmAFazer() const { return boIdCriado_ ? form_.get() : nullptr; }
    bool boIdCriado() const { return boIdCriado_; }

    // IniProc calls CriaAFazer and nothing else. Both may throw; the module's exported entries
    // guard them.
    void IniProc();
    void CriaAFazer();

    // The window's close handler reports that the window is gone.
    void FormClosed() { boIdCriado_ = false; }

  private:
    AgendaModule& module_;
    std::unique_ptr<TfrmAFazer> form_;
    bool boIdCriado_ = false;
};

}  // namespace lembrete
