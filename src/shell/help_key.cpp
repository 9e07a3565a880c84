#include "shell/help_key.h"

#include "shell/host_services.h"
#include "toolkit/form.h"
#include "toolkit/menu_item.h"

namespace lembrete {

TMenuItem& AddHelpKey(TForm& form, HostServices& host, HelpSection section) {
    auto& item = form.Add<TMenuItem>("mnuGuia");
    item.SetCaption("Guia do usuário");
    item.SetShortCut("F1");
    item.OnClick = [&host, section = std::move(section)] { host.ShowHelp(section()); };
    return item;
}

}  // namespace lembrete
