#include "qt/module/screen_layouts.h"

#include <QBoxLayout>
#include <QSplitter>
#include <QToolButton>

#include "qt/module/calendar_view_widget.h"
#include "ui_lmb00300.h"
#include "ui_lmb00301.h"
#include "ui_lmb00303.h"
#include "ui_lmb00304.h"

namespace lembrete {
namespace {

template <class Layout>
std::unique_ptr<QWidget> build() {
    auto screen = std::make_unique<QWidget>();
    Layout layout;
    layout.setupUi(screen.get());
    return screen;
}

// The agenda's week and month view (a painted widget Designer cannot lay out) above its grid,
// and the buttons that switch views and open the search after the frame's tool buttons.
void addCalendarViews(QWidget& agenda) {
    if (auto* splitter = agenda.findChild<QSplitter*>(QStringLiteral("Splitter6"))) {
        auto* view = new CalendarViewWidget;
        view->setObjectName(QStringLiteral("grdVisao"));
        splitter->insertWidget(0, view);
        splitter->setStretchFactor(0, 3);
        // Tab reaches the days between the filters and the list, as they stand on the screen.
        auto* filters = agenda.findChild<QWidget*>(QStringLiteral("ckcTodos"));
        auto* list = agenda.findChild<QWidget*>(QStringLiteral("dbsAFazer"));
        if (filters != nullptr && list != nullptr) {
            QWidget::setTabOrder(filters, view->canvas());
            QWidget::setTabOrder(view->canvas(), list);
        }
    }
    auto* tools = agenda.findChild<QHBoxLayout*>(QStringLiteral("panMenu_layout"));
    auto* after = agenda.findChild<QWidget*>(QStringLiteral("sbtVerificar"));
    if (tools == nullptr || after == nullptr) {
        return;
    }
    int position = tools->indexOf(after) + 1;
    QWidget* previous = after;
    for (const char* name : {"sbtDia", "sbtSemana", "sbtMes", "sbtProcurar"}) {
        auto* button = new QToolButton;
        button->setObjectName(QLatin1String(name));
        button->setAutoRaise(true);
        button->setFocusPolicy(after->focusPolicy());
        tools->insertWidget(position++, button);
        // Tab reaches them where they stand, after the frame's buttons.
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

}  // namespace

std::unique_ptr<QWidget> buildScreen(std::string_view formName) {
    if (formName == "frmAFazer") {
        auto screen = build<Ui::LMB00300>();
        addCalendarViews(*screen);
        return screen;
    }
    if (formName == "frmManutAFazer") {
        return build<Ui::LMB00301>();
    }
    if (formName == "frmIrParaDia") {
        return build<Ui::LMB00303>();
    }
    if (formName == "frmProcurar") {
        return build<Ui::LMB00304>();
    }
    return nullptr;
}

}  // namespace lembrete
