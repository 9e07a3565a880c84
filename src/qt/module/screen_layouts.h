// The Designer layouts of the module's screens, by form name: frmAFazer (lmb00300.ui),
// frmManutAFazer (lmb00301.ui) and frmIrParaDia (lmb00303.ui). Each layout's widgets carry the
// object names of the form's components.
#pragma once

#include <QWidget>
#include <memory>
#include <string_view>

namespace lembrete {

// A new widget holding the layout of the named form; nullptr when the module has none.
std::unique_ptr<QWidget> buildScreen(std::string_view formName);

}  // namespace lembrete
