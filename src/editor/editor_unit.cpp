#include "editor/editor_unit.h"

#include <stdexcept>

#include "agenda/agenda_module.h"
#include "shell/host_services.h"
#include "shell/hour_glass.h"

namespace lembrete {

EditorUnit::EditorUnit(AgendaModule& module) : module_(module) {
    module_.SetCriaManutAFazer(
        [this](const std::string& number, bool refresh) { CriaManutAFazer(number, refresh); });
}

EditorUnit::~EditorUnit() {
    module_.SetCriaManutAFazer({});
}

void EditorUnit::CriaManutAFazer(const std::string& number, bool refresh) {
    HostServices& host = module_.Host();
    HourGlass hourGlass(host);
    EditNumber = number;
    RefreshAgenda = refresh;
    if (EditorCreated) {
        return;  // the dialog is already open (and modal)
    }
    TfrmAFazer* agenda = module_.Agenda().frmAFazer();
    if (agenda == nullptr) {
        throw std::logic_error("o editor de lembretes precisa da agenda aberta");
    }
    frmManutAFazer = createForm<TfrmManutAFazer>(*this, *agenda, host);
    EditorCreated = true;
    // The dialog is released once it is closed, however the modal run ended.
    struct Release {
        EditorUnit& unit;
        ~Release() {
            unit.frmManutAFazer.reset();
            unit.EditorCreated = false;
        }
    } release{*this};
    frmManutAFazer->ShowModal();
}

}  // namespace lembrete
