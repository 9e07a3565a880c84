#include "qt/module/screen_layouts.h"

#include "ui_lmb00300.h"
#include "ui_lmb00301.h"
#include "ui_lmb00303.h"

namespace lembrete {
namespace {

template <class Layout>
std::unique_ptr<QWidget> build() {
    auto screen = std::make_unique<QWidget>();
    Layout layout;
    layout.setupUi(screen.get());
    return screen;
}

}  // namespace

std::unique_ptr<QWidget> buildScreen(std::string_view formName) {
    if (formName == "frmAFazer") {
        return build<Ui::LMB00300>();
    }
    if (formName == "frmManutAFazer") {
        return build<Ui::LMB00301>();
    }
    if (formName == "frmIrParaDia") {
        return build<Ui::LMB00303>();
    }
    return nullptr;
}

}  // namespace lembrete
