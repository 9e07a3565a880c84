// The client speaks Brazilian Portuguese: the default locale (dates, calendar headers, numbers)
// and Qt's own texts (the colour, file and print dialogs, the context menus of text boxes)
// from Qt's translations folder.
#pragma once

class QCoreApplication;

namespace lembrete {

// Installs the translator into `application`, which owns it. False when Qt's Portuguese
// translations are not installed (the client then shows Qt's own texts in English).
bool usePortuguese(QCoreApplication& application);

}  // namespace lembrete
