#include "agenda/agenda_unit.h"

#include "agenda/agenda_module.h"
#include "agenda/frm_a_fazer.h"
#include "shell/hour_glass.h"

namespace lembrete {

AgendaUnit::AgendaUnit(AgendaModule& module) : module_(module) {}

AgendaUnit::~AgendaUnit() = default;

void AgendaUnit::IniProc() {
    CriaAFazer();
}

void AgendaUnit::CriaAFazer() {
    HourGlass hourGlass(module_.Host());
    if (!boIdCriado_) {
        // A window closed earlier is released here, outside its own handlers.
        form_.reset();
        form_ = createForm<TfrmAFazer>(module_);
        boIdCriado_ = true;
    }
    form_->Show();
    form_->SetWindowState(wsNormal);
}

}  // namespace lembrete
