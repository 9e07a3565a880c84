// QtFormPresenter: how the module's headless forms reach the screen.
//
// Each form gets the Designer layout of its name (screen_layouts.h) and a WidgetBinder for as
// long as it is shown: an MDI child form (the agenda) becomes a window of the host's MDI area,
// shown again in normal state by every later Show (the user minimising or maximising it sets
// the form's WindowState); any other form is a modal FormDialog over
// the main window. The form's Activate runs when its window becomes the active one (a new MDI
// window at once, later each time the user switches back to it; a dialog before it opens).
// Closing: the user's close of a window goes to TForm::Close, and CloseForm (the form closed)
// unbinds the form at once, since it may be destroyed right after, and removes its window.
//
// While a modal dialog runs, the hourglass the module set around it gives way to the normal
// arrow, so the user can work in the dialog. The module's session owns the presenter; it must
// outlive the forms it shows or call DetachAll first.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>

#include "toolkit/form_presenter.h"

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace lembrete {

class FormDialog;
class HostServices;
class TForm;
class WidgetBinder;

class QtFormPresenter : public QObject, public FormPresenter {
    Q_OBJECT

  public:
    QtFormPresenter(HostServices& host, QMdiArea& area);
    ~QtFormPresenter() override;

    void ShowForm(TForm& form) override;
    void ShowFormModal(TForm& form) override;
    void CloseForm(TForm& form) override;

    // Unbinds every form and closes its window (the module is going).
    void DetachAll();
    // The window showing the form (an MDI sub-window or a dialog), or nullptr.
    QWidget* windowOf(const TForm& form) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct View {
        QPointer<QWidget> window;
        QPointer<WidgetBinder> binder;
        QPointer<FormDialog> dialog;
    };

    void activated(QMdiSubWindow* window);
    void cancel(TForm& form);
    void unbind(const TForm& form);
    TForm* formOf(const QObject* window) const;

    HostServices& host_;
    QMdiArea& area_;
    std::map<TForm*, View> views_;
    QMdiSubWindow* lastActive_ = nullptr;
    bool showing_ = false;
};

}  // namespace lembrete
