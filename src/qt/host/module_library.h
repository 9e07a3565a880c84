// ModuleLibrary: the module PKG_LMB00300 loaded as a shared library.
//
// load() looks for libPKG_LMB00300.so in the folder named by LEMBRETE_MODULE_DIR when it is
// set, then next to the client's executable (the build folder), then where the packages
// install it relative to the executable (../lib/lembrete), so an installed client carries no
// path of the build. It resolves the exported entries and hands the module its ModuleHost
// (the attach entry). The destructor detaches the module (its windows close); the
// library itself stays loaded until the process ends. Entries are plain C calls that never throw.
#pragma once

#include <QLibrary>
#include <QString>
#include <cstdint>
#include <string>

#include "qt/module/module_host.h"

namespace lembrete {

class ModuleLibrary {
  public:
    // The environment variable that names a folder to look in first.
    static constexpr const char* kFolderVariable = "LEMBRETE_MODULE_DIR";

    ModuleLibrary() = default;
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // Loads and attaches the module once; later calls do nothing. False, with errorString()
    // saying why, when it cannot be loaded or refused to start.
    bool load(ModuleHost& host);
    bool loaded() const { return attached_; }
    QString errorString() const { return error_; }
    QString fileName() const { return library_.fileName(); }

    // The module's entries; call only once loaded.
    void IniProc() const;
    void CriaManutAFazer(const std::string& number, bool refresh) const;
    void CriaIrParaDia(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day) const;
    void MostraLembrete(const std::string& number, std::uint16_t year, std::uint16_t month,
                        std::uint16_t day) const;
    void RecarregaAgenda() const;

  private:
    template <class Function>
    Function resolve(const char* name);

    QLibrary library_;
    QString error_;
    bool attached_ = false;
    module_entry::Detach detach_ = nullptr;
    module_entry::IniProc iniProc_ = nullptr;
    module_entry::CriaManutAFazer criaManutAFazer_ = nullptr;
    module_entry::CriaIrParaDia criaIrParaDia_ = nullptr;
    module_entry::MostraLembrete mostraLembrete_ = nullptr;
    module_entry::RecarregaAgenda recarregaAgenda_ = nullptr;
};

}  // namespace lembrete
