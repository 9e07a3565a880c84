// ModuleSession: everything the loaded module holds between attach and detach: the host it
// was handed, its form presenter (installed into the host), the headless module object with
// the agenda and go-to-day units, the editor unit, and the agenda's calendar-file items with
// their dialogs. Destroying it unbinds and closes every
// window first, then releases the forms, then takes the presenter back from the host.
#pragma once

#include "agenda/agenda_module.h"
#include "editor/editor_unit.h"
#include "interchange/agenda_transfer.h"
#include "qt/interchange/qt_transfer_dialogs.h"
#include "qt/module/qt_form_presenter.h"

namespace lembrete {

class ModuleHost;

class ModuleSession {
  public:
    explicit ModuleSession(ModuleHost& host);
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    AgendaModule& Module() { return module_; }
    QtFormPresenter& Presenter() { return presenter_; }

  private:
    ModuleHost& host_;
    QtFormPresenter presenter_;
    AgendaModule module_;
    EditorUnit editor_;
    QtTransferDialogs transferDialogs_;
    AgendaTransfer transfer_;
};

}  // namespace lembrete
