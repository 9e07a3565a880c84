// The exported C entries of PKG_LMB00300. Each is a few lines that hand over to the module's
// session; none lets an exception out (the module object's entries are guarded, and the
// others catch here). The session lives from attach to detach; nothing global is built when
// the library loads.
#include <cstdint>
#include <memory>
#include <string>

#include "qt/module/module_host.h"
#include "qt/module/module_session.h"

#define LMB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::unique_ptr<lembrete::ModuleSession>& session() {
    static std::unique_ptr<lembrete::ModuleSession> current;
    return current;
}

}  // namespace

LMB_EXPORT bool LmbAttachHost(lembrete::ModuleHost* host) noexcept {
    try {
        session().reset();
        session() = std::make_unique<lembrete::ModuleSession>(*host);
        return true;
    } catch (...) {
        return false;
    }
}

LMB_EXPORT void LmbDetachHost() noexcept {
    session().reset();
}

LMB_EXPORT void IniProc() noexcept {
    if (session()) {
        session()->Module().IniProc();
    }
}

LMB_EXPORT void CriaAFazer() noexcept {
    if (session()) {
        session()->Module().CriaAFazer();
    }
}

LMB_EXPORT void CriaIrParaDia(std::uint16_t* year, std::uint16_t* month,
                              std::uint16_t* day) noexcept {
    if (session() && year != nullptr && month != nullptr && day != nullptr) {
        session()->Module().CriaIrParaDia(*year, *month, *day);
    }
}

LMB_EXPORT void CriaManutAFazer(const char* number, bool refresh) noexcept {
    if (session()) {
        lembrete::AgendaModule& module = session()->Module();
        const std::string edited = number != nullptr ? number : "";
        lembrete::AgendaModule::Guarded(module.Host(),
                                        [&] { module.CriaManutAFazer(edited, refresh); });
    }
}

LMB_EXPORT void LmbMostraLembrete(const char* number, std::uint16_t year, std::uint16_t month,
                                  std::uint16_t day) noexcept {
    if (session() && number != nullptr) {
        try {
            session()->Module().MostraLembrete(number, lembrete::Date::fromParts(year, month, day));
        } catch (...) {
            // Not a calendar day: nothing to show.
        }
    }
}

LMB_EXPORT void LmbRecarregaAgenda() noexcept {
    if (session()) {
        session()->Module().RecarregaAgenda();
    }
}
