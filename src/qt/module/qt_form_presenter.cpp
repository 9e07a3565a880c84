#include "qt/module/qt_form_presenter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QTimer>
#include <stdexcept>

#include "agenda/agenda_module.h"
#include "qt/module/form_dialog.h"
#include "qt/module/screen_layouts.h"
#include "qt/module/widget_binder.h"
#include "toolkit/button.h"
#include "toolkit/form.h"

namespace lembrete {
namespace {

std::unique_ptr<QWidget> layoutOf(const TForm& form) {
    auto screen = buildScreen(form.Name());
    if (screen == nullptr) {
        throw std::logic_error("o módulo não tem tela para o formulário " + form.Name());
    }
    return screen;
}

// Gives the arrow back for a scope when the module had set the hourglass.
class ArrowCursor {
  public:
    ArrowCursor() : active_(QApplication::overrideCursor() != nullptr) {
        if (active_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~ArrowCursor() {
        if (active_) {
            QApplication::restoreOverrideCursor();
        }
    }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;

  private:
    bool active_;
};

}  // namespace

QtFormPresenter::QtFormPresenter(HostServices& host, QMdiArea& area) : host_(host), area_(area) {
    connect(&area_, &QMdiArea::subWindowActivated, this, &QtFormPresenter::activated);
}

QtFormPresenter::~QtFormPresenter() {
    DetachAll();
}

TForm* QtFormPresenter::formOf(const QObject* window) const {
    for (const auto& [form, view] : views_) {
        if (view.window == window) {
            return form;
        }
    }
    return nullptr;
}

QWidget* QtFormPresenter::windowOf(const TForm& form) const {
    const auto found = views_.find(const_cast<TForm*>(&form));
    return found == views_.end() ? nullptr : found->second.window.data();
}

void QtFormPresenter::ShowForm(TForm& form) {
    auto found = views_.find(&form);
    const bool created = found == views_.end();
    QMdiSubWindow* window = nullptr;
    if (created) {
        std::unique_ptr<QWidget> content = layoutOf(form);
        QWidget& screen = *content;
        const QSize size = screen.size();
        // Made smaller than its layout allows, the window scrolls instead of cutting controls
        // off; the screen still shrinks down to its layout's minimum first.
        auto scroller = std::make_unique<QScrollArea>();
        scroller->setObjectName(screen.objectName() + "Scroll");
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setFocusPolicy(Qt::NoFocus);
        scroller->setWidgetResizable(true);
        scroller->setWidget(content.release());
        window = area_.addSubWindow(scroller.release());
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->installEventFilter(this);
        // The user minimising or maximising the window is the form's window state too.
        connect(window, &QMdiSubWindow::windowStateChanged, this,
                [this, window](Qt::WindowStates, Qt::WindowStates now) {
                    if (TForm* shown = formOf(window)) {
                        shown->SetWindowState((now & Qt::WindowMinimized)   ? wsMinimized
                                              : (now & Qt::WindowMaximized) ? wsMaximized
                                                                            : wsNormal);
                    }
                });
        window->resize(window->sizeHint().expandedTo(size));
        auto* binder = new WidgetBinder(form, screen, *window, host_);
        binder->setParent(window);
        found = views_.emplace(&form, View{window, binder, nullptr}).first;
    } else {
        window = qobject_cast<QMdiSubWindow*>(found->second.window.data());
    }
    if (window == nullptr) {
        return;
    }
    const bool wasActive = area_.activeSubWindow() == window;
    showing_ = true;
    window->showNormal();
    area_.setActiveSubWindow(window);
    window->raise();
    showing_ = false;
    lastActive_ = window;
    if (created || !wasActive) {
        form.Activate();
    }
}

void QtFormPresenter::activated(QMdiSubWindow* window) {
    if (showing_ || window == nullptr || window == lastActive_) {
        return;
    }
    lastActive_ = window;
    if (TForm* form = formOf(window)) {
        AgendaModule::Guarded(host_, [form] { form->Activate(); });
    }
}

void QtFormPresenter::ShowFormModal(TForm& form) {
    std::unique_ptr<QWidget> content = layoutOf(form);
    QWidget& screen = *content;
    FormDialog dialog(*content.release(), area_.window(), [this, &form] { cancel(form); });
    dialog.setObjectName(screen.objectName() + "Dialog");
    auto* binder = new WidgetBinder(form, screen, dialog, host_);
    binder->setParent(&dialog);
    views_[&form] = View{&dialog, binder, &dialog};
    // However the dialog ends (closed, or its activation abandoned), the form is unbound here.
    struct Unbind {
        QtFormPresenter& presenter;
        TForm& form;
        ~Unbind() { presenter.unbind(form); }
    } unbind{*this, form};

    if (!form.Activate() || !form.Visible()) {
        return;
    }
    ArrowCursor arrow;
    dialog.adjustSize();
    QTimer::singleShot(0, binder, [binder, &form] {
        if (form.ActiveControl() != nullptr) {
            if (QWidget* focused = binder->widgetOf(*form.ActiveControl())) {
                focused->setFocus();
            }
        }
    });
    dialog.exec();
}

void QtFormPresenter::CloseForm(TForm& form) {
    const auto found = views_.find(&form);
    if (found == views_.end()) {
        return;
    }
    const View view = found->second;
    unbind(form);
    if (view.dialog != nullptr) {
        view.dialog->done(form.ModalResult() == mrOk ? QDialog::Accepted : QDialog::Rejected);
    } else if (view.window != nullptr) {
        if (lastActive_ == view.window) {
            lastActive_ = nullptr;
        }
        view.window->hide();
        view.window->deleteLater();
    }
}

void QtFormPresenter::unbind(const TForm& form) {
    const auto found = views_.find(const_cast<TForm*>(&form));
    if (found == views_.end()) {
        return;
    }
    if (found->second.binder != nullptr) {
        found->second.binder->detach();
    }
    views_.erase(found);
}

void QtFormPresenter::DetachAll() {
    while (!views_.empty()) {
        const View view = views_.begin()->second;
        views_.erase(views_.begin());
        if (view.binder != nullptr) {
            view.binder->detach();
        }
        if (view.dialog != nullptr) {
            view.dialog->done(QDialog::Rejected);
        } else if (view.window != nullptr) {
            view.window->hide();
            view.window->deleteLater();
        }
    }
    lastActive_ = nullptr;
}

void QtFormPresenter::cancel(TForm& form) {
    AgendaModule::Guarded(host_, [&form] {
        for (Component* component : form.Components()) {
            auto* button = dynamic_cast<TButton*>(component);
            if (button != nullptr && button->ModalResult() == mrCancel && button->Interactive()) {
                button->Click();
                return;
            }
        }
        form.Close();
    });
}

bool QtFormPresenter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (TForm* form = formOf(watched)) {
            event->ignore();
            AgendaModule::Guarded(host_, [form] { form->Close(); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lembrete
