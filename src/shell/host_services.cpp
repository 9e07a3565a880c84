#include "shell/host_services.h"

#include "toolkit/messages.h"

namespace lembrete {

TModalResult HostServices::ShowMsg(const TMessages& messages, std::string_view key,
                                   TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    return ShowMsg(messages.Msg(key), type, buttons, helpContext);
}

}  // namespace lembrete
