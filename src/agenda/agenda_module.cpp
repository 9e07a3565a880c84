#include "agenda/agenda_module.h"

#include <exception>
#include <stdexcept>

#include "agenda/frm_a_fazer.h"
#include "shell/host_services.h"

namespace lembrete {

AgendaModule::AgendaModule(HostServices& host) : host_(host), goToDay_(host), agenda_(*this) {}

AgendaModule::~AgendaModule() = default;

void AgendaModule::CriaManutAFazer(const std::string& number, bool refresh) {
    if (!editor_) {
        throw std::logic_error("o editor de lembretes não foi ligado ao módulo");
    }
    editor_(number, refresh);
}

void AgendaModule::IniProc() noexcept {
    Guarded(host_, [this] { agenda_.IniProc(); });
}

void AgendaModule::CriaAFazer() noexcept {
    Guarded(host_, [this] { agenda_.CriaAFazer(); });
}

void AgendaModule::CriaIrParaDia(std::uint16_t& year, std::uint16_t& month,
                                 std::uint16_t& day) noexcept {
    Guarded(host_, [&] { goToDay_.CriaIrParaDia(year, month, day); });
}

void AgendaModule::MostraLembrete(const std::string& number, Date day) noexcept {
    Guarded(host_, [&] {
        agenda_.CriaAFazer();
        if (TfrmAFazer* agenda = agenda_.frmAFazer()) {
            agenda->ShowReminder(day, number);
        }
    });
}

void AgendaModule::RecarregaAgenda() noexcept {
    Guarded(host_, [this] {
        if (TfrmAFazer* agenda = agenda_.frmAFazer()) {
            agenda->ReloadKeepingRow();
        }
    });
}

void AgendaModule::Guarded(HostServices& host, const std::function<void()>& entry) noexcept {
    // Nothing may cross the module boundary: the host's error dialog is the last stop.
    const auto report = [&host](const char* text) {
        try {
            host.MensErro(text, false);
        } catch (...) {
        }
    };
    try {
        entry();
    } catch (const Abandon&) {
        // Already reported by whoever abandoned.
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("erro inesperado no módulo Lembrete");
    }
}

}  // namespace lembrete
