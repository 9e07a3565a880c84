#include "qt/module/module_session.h"

#include <QMdiArea>

#include "qt/module/module_host.h"
#include "shell/help_sections.h"
#include "shell/host_services.h"

namespace lembrete {

ModuleSession::ModuleSession(ModuleHost& host)
    : host_(host),
      presenter_(host.Services(), host.MdiArea()),
      module_(host.Services()),
      editor_(module_),
      transferDialogs_([&host] { return host.MdiArea().window(); },
                       [&host] { host.Services().ShowHelp(help_section::kTransfer); }),
      transfer_(module_, transferDialogs_) {
    module_.SetCalendarEntries(transfer_.Entries());
    host_.SetPresenter(&presenter_);
}

ModuleSession::~ModuleSession() {
    presenter_.DetachAll();
    host_.SetPresenter(nullptr);
}

}  // namespace lembrete
