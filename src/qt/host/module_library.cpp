#include "qt/host/module_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace lembrete {
namespace {

QStringList searchFolders() {
    QStringList folders;
    if (const QString chosen = qEnvironmentVariable(ModuleLibrary::kFolderVariable);
        !chosen.isEmpty()) {
        folders << chosen;
    }
    const QDir executable(QCoreApplication::applicationDirPath());
    folders << executable.path()
            << QDir::cleanPath(executable.filePath(QStringLiteral(LEMBRETE_INSTALLED_MODULE_DIR)));
    return folders;
}

}  // namespace

ModuleLibrary::~ModuleLibrary() {
    // The library stays mapped: widgets of the module may still wait for a deferred delete.
    if (attached_) {
        detach_();
    }
}

template <class Function>
Function ModuleLibrary::resolve(const char* name) {
    auto function = reinterpret_cast<Function>(library_.resolve(name));
    if (function == nullptr && error_.isEmpty()) {
        error_ = QStringLiteral("O módulo %1 não exporta %2.")
                     .arg(library_.fileName(), QString::fromLatin1(name));
    }
    return function;
}

bool ModuleLibrary::load(ModuleHost& host) {
    if (attached_) {
        return true;
    }
    error_.clear();
    const QString name = QString::fromLatin1(module_entry::kLibraryName);
    for (const QString& folder : searchFolders()) {
        library_.setFileName(QDir(folder).filePath(name));
        if (library_.load()) {
            break;
        }
    }
    if (!library_.isLoaded()) {
        error_ = QStringLiteral("Não foi possível carregar o módulo %1: %2")
                     .arg(name, library_.errorString());
        return false;
    }
    const auto attach = resolve<module_entry::Attach>(module_entry::kAttach);
    detach_ = resolve<module_entry::Detach>(module_entry::kDetach);
    iniProc_ = resolve<module_entry::IniProc>(module_entry::kIniProc);
    criaManutAFazer_ = resolve<module_entry::CriaManutAFazer>(module_entry::kCriaManutAFazer);
    criaIrParaDia_ = resolve<module_entry::CriaIrParaDia>(module_entry::kCriaIrParaDia);
    mostraLembrete_ = resolve<module_entry::MostraLembrete>(module_entry::kMostraLembrete);
    recarregaAgenda_ = resolve<module_entry::RecarregaAgenda>(module_entry::kRecarregaAgenda);
    if (!error_.isEmpty()) {
        return false;
    }
    attached_ = attach(&host);
    if (!attached_) {
        error_ = QStringLiteral("O módulo %1 não pôde iniciar.").arg(name);
    }
    return attached_;
}

void ModuleLibrary::IniProc() const {
    iniProc_();
}

void ModuleLibrary::CriaManutAFazer(const std::string& number, bool refresh) const {
    criaManutAFazer_(number.c_str(), refresh);
}

void ModuleLibrary::CriaIrParaDia(std::uint16_t& year, std::uint16_t& month,
                                  std::uint16_t& day) const {
    criaIrParaDia_(&year, &month, &day);
}

void ModuleLibrary::MostraLembrete(const std::string& number, std::uint16_t year,
                                   std::uint16_t month, std::uint16_t day) const {
    mostraLembrete_(number.c_str(), year, month, day);
}

void ModuleLibrary::RecarregaAgenda() const {
    recarregaAgenda_();
}

}  // namespace lembrete
