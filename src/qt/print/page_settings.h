// The page setup (paper, orientation, margins) kept in the client's settings, so every
// printout and every later session uses what the user chose in "Configurar impressora".
#pragma once

class QPrinter;

namespace lembrete {

// Gives `printer` the remembered page layout (the printer's own when none was saved).
void loadPageSetup(QPrinter& printer);
void savePageSetup(const QPrinter& printer);

}  // namespace lembrete
