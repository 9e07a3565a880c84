// AddHelpKey: the key F1 of a screen.
//
// It gives `form` the menu item "mnuGuia" ("Guia do usuário", F1) that opens the user guide
// through the host at the section `section` answers when the item is clicked or F1 pressed, so
// a screen with parts (the editor's tabs, the agenda's views) opens the guide at the part in
// use. The item is the form's, like every component; the form may put it in a menu.
#pragma once

#include <functional>
#include <string_view>

namespace lembrete {

class HostServices;
class TForm;
class TMenuItem;

using HelpSection = std::function<std::string_view()>;

TMenuItem& AddHelpKey(TForm& form, HostServices& host, HelpSection section);

}  // namespace lembrete
