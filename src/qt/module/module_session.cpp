#include "qt/module/module_session.h"

#include "qt/module/module_host.h"

namespace lembrete {

ModuleSession::ModuleSession(ModuleHost& host)
    : host_(host),
      presenter_(host.Services(), host.MdiArea()),
      module_(host.Services()),
      editor_(module_) {
    host_.SetPresenter(&presenter_);
}

ModuleSession::~ModuleSession() {
    presenter_.DetachAll();
    host_.SetPresenter(nullptr);
}

}  // namespace lembrete
