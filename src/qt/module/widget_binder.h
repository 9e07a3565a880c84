// WidgetBinder: keeps the components of one headless form and the widgets of the same object
// names in step, both ways, for every kind of control the screens use.
//
// Component to widget: every property change the component reports (Component::Observe) is
// copied onto its widget: visibility, enabled state, colours, font, hint, caption, text,
// checked state, items, dates, ranges, marked days, grid rows and cursor, active page, focus,
// window caption and state, and the form's main menu (a menu bar on its window). At bind time
// the whole state is copied once.
// Widget to component: what the user does on a widget becomes the component's user action
// (Click, EnterText, SelectItem, PickDate, SelectDate, ClickCell, PressKey, SelectPage ...);
// the component decides, and its state flows back to the widget, so a refused action leaves
// the widget as the component says. Shortcuts of the form's menu items (hidden ones included)
// are pressed through TForm::PressShortCut; the menu bar shows them beside the captions and
// gives every menu and item an Alt key (its first free letter).
//
// The binder knows kinds of controls, never a screen: no handler lives here. Every call into
// the core runs guarded (an Abandon ends silently, anything else is shown by the host), so
// nothing is thrown out of a Qt slot. detach() ends all traffic at once (the form may be
// destroyed right after); the destructor detaches too. The binder does not own the widgets.
#pragma once

#include <QChar>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/subscription.h"

class QAction;
class QTableView;
class QWidget;

namespace lembrete {

class GridModel;
class HostServices;
class TForm;
class TMenuItem;

class WidgetBinder : public QObject {
    Q_OBJECT

  public:
    // `root` holds the form's widgets (found by object name); `window` is the window that
    // shows the form (its title and state follow the form).
    WidgetBinder(TForm& form, QWidget& root, QWidget& window, HostServices& host);
    ~WidgetBinder() override;

    void detach();
    // The widget bound to the named component, or nullptr.
    QWidget* widgetOf(const Component& component) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Binding {
        Component* component;
        QPointer<QWidget> widget;
        QPalette palette;  // the widget's own palette, for clDefault
        Subscription subscription;
    };

    void bind(Component& component, QWidget& widget);
    void bindShortCuts();
    // The form's main menu as a menu bar at the top of its window.
    void bindMenus();
    void bindAction(TMenuItem& item, QAction& action, QChar mnemonic);
    void apply(Binding& binding, Property property, bool initial);
    void applyCommon(Binding& binding, Property property, bool initial);
    void applyForm(Property property);
    void listen(Binding& binding);
    void listenGrid(Binding& binding);
    static void fitColumns(QTableView& view);
    static void fillWithLastColumn(QTableView& view);
    void syncGrid(Binding& binding, Property property);
    // Runs a user action on the core, guarded; afterwards the widget shows the component's
    // state again (a refused action leaves no trace on the widget).
    void user(Binding& binding, const std::function<void()>& action);
    Binding* bindingOf(const QObject* widget);

    TForm* form_;
    QWidget& root_;
    QPointer<QWidget> window_;
    HostServices& host_;
    // Context of every Qt connection the binder makes: destroying it disconnects them all.
    std::unique_ptr<QObject> connections_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    std::vector<GridModel*> models_;
    // The pop-up calendars of the date boxes, and the box each belongs to.
    std::map<const QObject*, Binding*> popups_;
    Subscription formSubscription_;
    std::vector<Subscription> menuSubscriptions_;
    Binding* acting_ = nullptr;
    // The keyboard modifiers of the last mouse press or release on a grid.
    Qt::KeyboardModifiers clickModifiers_;
};

}  // namespace lembrete
