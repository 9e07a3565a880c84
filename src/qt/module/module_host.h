// ModuleHost: what the desktop client hands the module PKG_LMB00300 when it loads it, and the
// names and signatures of the module's exported C entries.
//
// The client calls the attach entry first with its ModuleHost, then IniProc (and the other
// entries) as often as it likes, and the detach entry before it unloads the module or closes
// its main window. Between attach and detach the module keeps a reference to the host; the
// client owns everything behind it. The module installs its form presenter through
// SetPresenter, and the host's HostServices::Presenter answers with it from then on.
#pragma once

#include <cstdint>

class QMdiArea;

namespace lembrete {

class FormPresenter;
class HostServices;

class ModuleHost {
  public:
    virtual ~ModuleHost() = default;
    virtual HostServices& Services() = 0;
    // Where MDI child windows (the agenda) go.
    virtual QMdiArea& MdiArea() = 0;
    // The module's presenter, or nullptr when it detaches.
    virtual void SetPresenter(FormPresenter* presenter) = 0;
};

namespace module_entry {

inline constexpr const char* kLibraryName = "PKG_LMB00300";
inline constexpr const char* kAttach = "LmbAttachHost";
inline constexpr const char* kDetach = "LmbDetachHost";
inline constexpr const char* kIniProc = "IniProc";
inline constexpr const char* kCriaAFazer = "CriaAFazer";
inline constexpr const char* kCriaManutAFazer = "CriaManutAFazer";
inline constexpr const char* kCriaIrParaDia = "CriaIrParaDia";
inline constexpr const char* kMostraLembrete = "LmbMostraLembrete";
inline constexpr const char* kRecarregaAgenda = "LmbRecarregaAgenda";

// False when the module could not start (the reason was shown through the host).
using Attach = bool (*)(ModuleHost* host);
using Detach = void (*)();
using IniProc = void (*)();
using CriaAFazer = void (*)();
// `number` is UTF-8, empty for a new reminder.
using CriaManutAFazer = void (*)(const char* number, bool refresh);
using CriaIrParaDia = void (*)(std::uint16_t* year, std::uint16_t* month, std::uint16_t* day);
// The agenda on reminder `number` (UTF-8) of that day; an open agenda's list reloaded.
using MostraLembrete = void (*)(const char* number, std::uint16_t year, std::uint16_t month,
                                std::uint16_t day);
using RecarregaAgenda = void (*)();

}  // namespace module_entry
}  // namespace lembrete
