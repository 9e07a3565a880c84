#include "qt/module/widget_binder.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QTimeEdit>
#include <algorithm>
#include <limits>
#include <set>

#include "agenda/agenda_module.h"
#include "data/utf8.h"
#include "qt/module/calendar_view_widget.h"
#include "qt/module/date_box_keys.h"
#include "qt/module/format_tool_bar.h"
#include "qt/module/grid_delegate.h"
#include "qt/module/grid_model.h"
#include "qt/module/qt_convert.h"
#include "shell/host_services.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/combo_box.h"
#include "toolkit/custom_edit.h"
#include "toolkit/date_edit.h"
#include "toolkit/date_time_picker.h"
#include "toolkit/db_calendar.h"
#include "toolkit/db_grid.h"
#include "toolkit/db_sort_grid.h"
#include "toolkit/form.h"
#include "toolkit/format_panel.h"
#include "toolkit/keys.h"
#include "toolkit/menu_item.h"
#include "toolkit/month_calendar.h"
#include "toolkit/page_control.h"
#include "toolkit/radio_button.h"
#include "toolkit/spin_edit.h"
#include "toolkit/tab_sheet.h"
#include "views/calendar_grid.h"

namespace lembrete {
namespace {

// A date edit shows this (as a blank) when its component holds no date.
const QDate kNoDate(1900, 1, 1);
const QLocale kLocale(QLocale::Portuguese, QLocale::Brazil);
const QColor kCurrentDay(0xc8, 0xdc, 0xf5);
// The narrowest a grid's last column (the one that takes the free width) gets.
constexpr int kLastColumnMinimum = 80;

// Properties that describe a control's state, copied once at bind time.
constexpr Property kInitial[] = {
    Property::Visible,   Property::Enabled, Property::Color,  Property::Font,
    Property::Hint,      Property::Caption, Property::Range,  Property::MaxLength,
    Property::ReadOnly,  Property::Items,   Property::Text,   Property::Checked,
    Property::ItemIndex, Property::Date,    Property::Time,   Property::Marks,
    Property::Columns,   Property::Rows,    Property::Cursor, Property::ActivePage};
// What a user action may have changed on its own control.
constexpr Property kUserState[] = {Property::Text,  Property::Checked, Property::ItemIndex,
                                   Property::Date,  Property::Time,    Property::ActivePage,
                                   Property::Cursor};

QTabWidget* tabWidgetOf(QWidget& page) {
    QWidget* stack = page.parentWidget();
    return stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

// The Qt key of a grid key press, as a key code; 0 when the grid leaves it to Qt.
int virtualKey(int key) {
    switch (key) {
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        default:
            return 0;
    }
}

TShiftState shiftState(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = ssNone;
    if (modifiers & Qt::ShiftModifier) {
        shift |= ssShift;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= ssCtrl;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= ssAlt;
    }
    return shift;
}

void setCaption(Component& component, QWidget& widget, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(caption);
    } else if (dynamic_cast<TTabSheet*>(&component) != nullptr) {
        if (QTabWidget* tabs = tabWidgetOf(widget)) {
            tabs->setTabText(tabs->indexOf(&widget), caption);
        }
    } else if (auto* label = widget.findChild<QLabel*>(widget.objectName() + "_caption")) {
        label->setText(caption);
    }
}

void setColor(QWidget& widget, const QPalette& own, TColor color) {
    const QColor shown = toQColor(color);
    if (!shown.isValid()) {
        widget.setPalette(own);
        return;
    }
    QPalette palette = widget.palette();
    const bool box = qobject_cast<QLineEdit*>(&widget) != nullptr ||
                     qobject_cast<QAbstractSpinBox*>(&widget) != nullptr ||
                     qobject_cast<QAbstractScrollArea*>(&widget) != nullptr ||
                     qobject_cast<QComboBox*>(&widget) != nullptr;
    if (box) {
        palette.setColor(QPalette::Base, shown);
    } else {
        palette.setColor(QPalette::Window, shown);
        palette.setColor(QPalette::Button, shown);
        widget.setAutoFillBackground(true);
    }
    widget.setPalette(palette);
}

void setFont(QWidget& widget, const TFont& font) {
    QFont shown = widget.font();
    shown.setBold(font.bold);
    widget.setFont(shown);
    const QColor color = toQColor(font.color);
    if (color.isValid()) {
        QPalette palette = widget.palette();
        palette.setColor(QPalette::WindowText, color);
        palette.setColor(QPalette::Text, color);
        palette.setColor(QPalette::ButtonText, color);
        widget.setPalette(palette);
    }
}

void showText(TCustomEdit& edit, QWidget& widget) {
    const QString text = toQString(edit.Text());
    if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        if (line->text() != text) {
            line->setText(text);
        }
    } else if (auto* rich = qobject_cast<QTextEdit*>(&widget)) {
        if (rich->toHtml() != text) {
            Qt::mightBeRichText(text) ? rich->setHtml(text) : rich->setPlainText(text);
        }
    } else if (auto* spin = qobject_cast<QSpinBox*>(&widget)) {
        if (text.isEmpty()) {
            spin->findChild<QLineEdit*>()->clear();
        } else if (spin->cleanText() != text) {
            spin->setValue(text.toInt());
        }
    }
}

// Rewriting a box's value puts its cursor back at the start: a box the user is typing in
// is rewritten only when the component holds something else.
void showDate(QDateTimeEdit& box, QDate date) {
    if (box.date() != date) {
        box.setDate(date);
    }
}

// Marked days in bold; with ShowCurrentDay, today keeps a tinted, underlined cell of its own
// whichever day is selected.
void showMarks(TDBCalendar& calendar, QCalendarWidget& widget, Date today) {
    widget.setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (const Date day : calendar.MarkedDays()) {
        widget.setDateTextFormat(toQDate(day), bold);
    }
    if (calendar.ShowCurrentDay()) {
        QTextCharFormat current = widget.dateTextFormat(toQDate(today));
        current.setBackground(kCurrentDay);
        current.setFontUnderline(true);
        widget.setDateTextFormat(toQDate(today), current);
    }
}

// The menus' Alt keys: each caption's first letter not yet taken in its menu (`taken`), so
// "Operação" opens with Alt+O and "Manutenção" with Alt+M. Null when every letter is taken.
QChar mnemonicFor(const std::string& caption, QString& taken) {
    for (const QChar letter : toQString(caption)) {
        if (letter.isLetter() && !taken.contains(letter, Qt::CaseInsensitive)) {
            taken += letter;
            return letter;
        }
    }
    return {};
}

QString withMnemonic(QString caption, QChar mnemonic) {
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (!mnemonic.isNull()) {
        const qsizetype at = caption.indexOf(mnemonic, 0, Qt::CaseInsensitive);
        if (at >= 0) {
            caption.insert(at, QLatin1Char('&'));
        }
    }
    return caption;
}

Qt::DayOfWeek qtWeekday(int weekday) {  // 1 = Sunday .. 7 = Saturday
    return weekday == 1 ? Qt::Sunday : static_cast<Qt::DayOfWeek>(weekday - 1);
}

}  // namespace

WidgetBinder::WidgetBinder(TForm& form, QWidget& root, QWidget& window, HostServices& host)
    : form_(&form),
      root_(root),
      window_(&window),
      host_(host),
      connections_(std::make_unique<QObject>()) {
    root.setLocale(kLocale);
    for (Component* component : form.Components()) {
        if (auto* widget = root.findChild<QWidget*>(toQString(component->Name()))) {
            bind(*component, *widget);
        }
    }
    bindShortCuts();
    bindMenus();
    formSubscription_ =
        form.Observe([this](Component&, Property property) { applyForm(property); });
    for (Property property : {Property::Caption, Property::WindowState, Property::ActiveControl}) {
        applyForm(property);
    }
}

WidgetBinder::~WidgetBinder() {
    detach();
}

void WidgetBinder::detach() {
    if (form_ == nullptr) {
        return;
    }
    form_ = nullptr;
    connections_.reset();
    formSubscription_.reset();
    menuSubscriptions_.clear();
    for (auto& binding : bindings_) {
        binding->subscription.reset();
        binding->component = nullptr;
    }
    for (GridModel* model : models_) {
        model->release();
    }
}

QWidget* WidgetBinder::widgetOf(const Component& component) const {
    for (const auto& binding : bindings_) {
        if (binding->component == &component) {
            return binding->widget;
        }
    }
    return nullptr;
}

WidgetBinder::Binding* WidgetBinder::bindingOf(const QObject* widget) {
    for (auto& binding : bindings_) {
        if (binding->widget == widget) {
            return binding.get();
        }
    }
    return nullptr;
}

void WidgetBinder::bind(Component& component, QWidget& widget) {
    bindings_.push_back(
        std::make_unique<Binding>(Binding{&component, &widget, widget.palette(), {}}));
    Binding& binding = *bindings_.back();

    if (auto* calendar = qobject_cast<QCalendarWidget*>(&widget)) {
        calendar->setLocale(kLocale);
        if (auto* data = dynamic_cast<TDBCalendar*>(&component)) {
            calendar->setFirstDayOfWeek(qtWeekday(data->StartOfWeek() + 1));
            QTextCharFormat holiday;
            holiday.setForeground(toQColor(data->HollidayColor()));
            calendar->setWeekdayTextFormat(Qt::Sunday, holiday);
            calendar->setWeekdayTextFormat(Qt::Saturday, QTextCharFormat());
        } else if (auto* month = dynamic_cast<TMonthCalendar*>(&component)) {
            calendar->setFirstDayOfWeek(qtWeekday(month->FirstDayOfWeek()));
        }
    } else if (auto* dateEdit = qobject_cast<QDateEdit*>(&widget);
               dateEdit != nullptr && dynamic_cast<TDateEdit*>(&component) != nullptr) {
        dateEdit->setMinimumDate(kNoDate);
        dateEdit->setSpecialValueText(QStringLiteral(" "));
        dateEdit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        dateEdit->setCalendarPopup(true);
        // An empty box would open its pop-up on its blank date (1900): open it on today.
        dateEdit->calendarWidget()->installEventFilter(this);
        popups_[dateEdit->calendarWidget()] = &binding;
    }
    if (auto* box = qobject_cast<QDateTimeEdit*>(&widget)) {
        new DateBoxKeys(*box);
    }
    if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        if (auto* headless = dynamic_cast<TButton*>(&component)) {
            button->setDefault(headless->Default());
            button->setAutoDefault(headless->Default());
        }
    } else if (auto* radio = qobject_cast<QRadioButton*>(&widget)) {
        radio->setAutoExclusive(false);
    } else if (auto* panel = dynamic_cast<TFormatPanel*>(&component)) {
        QTextEdit* editor = panel->Editor() != nullptr
                                ? root_.findChild<QTextEdit*>(toQString(panel->Editor()->Name()))
                                : nullptr;
        if (editor != nullptr) {
            new FormatToolBar(widget, *editor);
        }
    }
    if (auto* grid = dynamic_cast<TDBGrid*>(&component)) {
        if (auto* view = qobject_cast<QTableView*>(&widget)) {
            auto* model = new GridModel(*grid, view);
            models_.push_back(model);
            view->setModel(model);
            view->setItemDelegate(new GridDelegate(*model, view));
            view->setEditTriggers(QAbstractItemView::NoEditTriggers);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            // The grid component chooses the selected rows (clicks and keys go to it).
            view->setSelectionMode(QAbstractItemView::NoSelection);
            // Arrows move between cells; Tab goes on to the next control of the screen.
            view->setTabKeyNavigation(false);
            view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            view->verticalHeader()->setMinimumSectionSize(8);
            view->horizontalHeader()->setMinimumSectionSize(8);
            view->verticalHeader()->setDefaultSectionSize(grid->RowHeight());
            view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
            view->setAutoScroll(false);
            // The user widening one column takes the room from the last one.
            connect(view->horizontalHeader(), &QHeaderView::sectionResized, connections_.get(),
                    [view](int column) {
                        if (column + 1 < view->model()->columnCount()) {
                            fillWithLastColumn(*view);
                        }
                    });
        }
    }

    for (Property property : kInitial) {
        apply(binding, property, true);
    }
    binding.subscription = component.Observe([this, &binding](Component&, Property property) {
        if (&binding != acting_ || property != Property::Text) {
            apply(binding, property, false);
        }
    });
    listen(binding);
}

void WidgetBinder::bindShortCuts() {
    // One Qt shortcut per key: two for the same key would leave both silent as ambiguous.
    std::set<std::string> bound;
    for (Component* component : form_->Components()) {
        auto* item = dynamic_cast<TMenuItem*>(component);
        if (item == nullptr || item->ShortCut().empty() ||
            !bound.insert(utf8::foldCase(item->ShortCut())).second) {
            continue;
        }
        auto* shortcut = new QShortcut(QKeySequence(toQString(item->ShortCut())), &root_);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, connections_.get(),
                [this, keys = item->ShortCut()] {
                    AgendaModule::Guarded(host_, [&] { form_->PressShortCut(keys); });
                });
    }
}

void WidgetBinder::bindMenus() {
    for (Component* component : form_->Components()) {
        auto* menu = dynamic_cast<TMainMenu*>(component);
        if (menu == nullptr || menu->Items().empty() || root_.layout() == nullptr) {
            continue;
        }
        auto* bar = new QMenuBar(&root_);
        bar->setObjectName(toQString(menu->Name()));
        QString topKeys;
        for (TMenuItem* top : menu->Items()) {
            QMenu* list = bar->addMenu(QString());
            list->setObjectName(toQString(top->Name()));
            bindAction(*top, *list->menuAction(), mnemonicFor(top->Caption(), topKeys));
            QString itemKeys;
            for (TMenuItem* item : top->Items()) {
                QAction* action = list->addAction(QString());
                action->setObjectName(toQString(item->Name()));
                bindAction(*item, *action, mnemonicFor(item->Caption(), itemKeys));
                connect(action, &QAction::triggered, connections_.get(),
                        [this, item] { AgendaModule::Guarded(host_, [item] { item->Click(); }); });
            }
        }
        root_.layout()->setMenuBar(bar);
    }
}

void WidgetBinder::bindAction(TMenuItem& item, QAction& action, QChar mnemonic) {
    const auto show = [&action, mnemonic](TMenuItem& shown) {
        // The shortcut is only shown: the form's own shortcut (bindShortCuts) presses it.
        QString text = withMnemonic(toQString(shown.Caption()), mnemonic);
        if (!shown.ShortCut().empty()) {
            text += QLatin1Char('\t') +
                    QKeySequence(toQString(shown.ShortCut())).toString(QKeySequence::NativeText);
        }
        action.setText(text);
        action.setEnabled(shown.Enabled());
        action.setVisible(shown.Visible());
        action.setCheckable(shown.Checked());
        action.setChecked(shown.Checked());
    };
    show(item);
    menuSubscriptions_.push_back(item.Observe([show, &item](Component&, Property) { show(item); }));
}

void WidgetBinder::applyForm(Property property) {
    if (form_ == nullptr || window_ == nullptr) {
        return;
    }
    if (property == Property::Caption) {
        window_->setWindowTitle(toQString(form_->Caption()));
    } else if (property == Property::WindowState) {
        if (auto* child = qobject_cast<QMdiSubWindow*>(window_.data())) {
            switch (form_->WindowState()) {
                case wsNormal:
                    child->showNormal();
                    break;
                case wsMinimized:
                    child->showMinimized();
                    break;
                case wsMaximized:
                    child->showMaximized();
                    break;
            }
        }
    } else if (property == Property::ActiveControl && form_->ActiveControl() != nullptr) {
        if (QWidget* widget = widgetOf(*form_->ActiveControl());
            widget != nullptr && !widget->hasFocus()) {
            widget->setFocus();
        }
    }
}

void WidgetBinder::applyCommon(Binding& binding, Property property, bool initial) {
    Component& component = *binding.component;
    QWidget& widget = *binding.widget;
    switch (property) {
        case Property::Visible:
            if (auto* sheet = dynamic_cast<TTabSheet*>(&component)) {
                if (QTabWidget* tabs = tabWidgetOf(widget)) {
                    tabs->setTabVisible(tabs->indexOf(&widget), sheet->TabVisible());
                }
            } else if (dynamic_cast<TForm*>(&component) == nullptr) {
                widget.setVisible(component.Visible());
            }
            break;
        case Property::Enabled:
            widget.setEnabled(component.Enabled());
            break;
        case Property::Color:
            setColor(widget, binding.palette, component.Color());
            break;
        case Property::Font:
            if (!initial || component.Font() != TFont{}) {
                setFont(widget, component.Font());
            }
            break;
        case Property::Hint:
            if (!initial || !component.Hint().empty()) {
                widget.setToolTip(toQString(component.Hint()));
            }
            break;
        case Property::Caption:
            if (!initial || !component.Caption().empty()) {
                setCaption(component, widget, toQString(component.Caption()));
            }
            break;
        default:
            break;
    }
}

void WidgetBinder::apply(Binding& binding, Property property, bool initial) {
    if (binding.component == nullptr || binding.widget == nullptr) {
        return;
    }
    Component& component = *binding.component;
    QWidget& widget = *binding.widget;
    const QSignalBlocker quiet(&widget);
    applyCommon(binding, property, initial);

    if (auto* calendarView = dynamic_cast<TCalendarGrid*>(&component)) {
        if (auto* painted = qobject_cast<CalendarViewWidget*>(&widget);
            painted != nullptr && property == Property::Rows) {
            painted->setView(calendarView->View());
        }
    } else if (auto* check = dynamic_cast<TCheckBox*>(&component)) {
        if (property == Property::Checked) {
            qobject_cast<QAbstractButton*>(&widget)->setChecked(check->Checked());
        }
    } else if (auto* radio = dynamic_cast<TRadioButton*>(&component)) {
        if (property == Property::Checked) {
            qobject_cast<QAbstractButton*>(&widget)->setChecked(radio->Checked());
        }
    } else if (auto* edit = dynamic_cast<TCustomEdit*>(&component)) {
        if (property == Property::Text) {
            showText(*edit, widget);
        } else if (property == Property::MaxLength) {
            if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
                line->setMaxLength(edit->MaxLength() > 0 ? edit->MaxLength() : 32767);
            }
        } else if (property == Property::ReadOnly) {
            if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
                line->setReadOnly(edit->ReadOnly());
            } else if (auto* rich = qobject_cast<QTextEdit*>(&widget)) {
                rich->setReadOnly(edit->ReadOnly());
            }
        } else if (property == Property::Range) {
            if (auto* spin = dynamic_cast<TSpinEdit*>(edit)) {
                const bool limited = spin->MinValue() != 0 || spin->MaxValue() != 0;
                qobject_cast<QSpinBox*>(&widget)->setRange(
                    limited ? spin->MinValue() : std::numeric_limits<int>::min(),
                    limited ? spin->MaxValue() : std::numeric_limits<int>::max());
                showText(*edit, widget);
            }
        }
    } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
        auto* box = qobject_cast<QComboBox*>(&widget);
        if (property == Property::Items) {
            box->clear();
            for (const auto& item : combo->Items()) {
                box->addItem(toQString(item));
            }
        }
        if (property == Property::Items || property == Property::ItemIndex) {
            box->setCurrentIndex(combo->ItemIndex());
        }
    } else if (auto* dateEdit = dynamic_cast<TDateEdit*>(&component)) {
        if (property == Property::Date) {
            const auto date = dateEdit->GetDate();
            showDate(*qobject_cast<QDateEdit*>(&widget), date ? toQDate(date->date()) : kNoDate);
        }
    } else if (auto* picker = dynamic_cast<TDateTimePicker*>(&component)) {
        if (property == Property::Time || property == Property::Date) {
            const DateTime& value = picker->GetDateTime();
            auto* box = qobject_cast<QDateTimeEdit*>(&widget);
            if (const QTime time(value.hour(), value.minute(), value.second());
                box->time() != time) {
                box->setTime(time);
            }
            if (picker->Kind() == dtkDate) {
                showDate(*box, toQDate(value.date()));
            }
        }
    } else if (auto* month = dynamic_cast<TMonthCalendar*>(&component)) {
        auto* calendar = qobject_cast<QCalendarWidget*>(&widget);
        if (property == Property::Range) {
            calendar->setDateRange(
                month->MinDate() ? toQDate(*month->MinDate()) : QDate(100, 1, 1),
                month->MaxDate() ? toQDate(*month->MaxDate()) : QDate(9999, 12, 31));
        }
        if (property == Property::Range || property == Property::Date) {
            calendar->setSelectedDate(toQDate(month->GetDate()));
        }
    } else if (auto* dataCalendar = dynamic_cast<TDBCalendar*>(&component)) {
        auto* calendar = qobject_cast<QCalendarWidget*>(&widget);
        if (property == Property::Date) {
            calendar->setSelectedDate(toQDate(dataCalendar->GetDate()));
        } else if (property == Property::Marks) {
            showMarks(*dataCalendar, *calendar, host_.Today());
        }
    } else if (auto* pages = dynamic_cast<TPageControl*>(&component)) {
        if (property == Property::ActivePage && pages->ActivePage() != nullptr) {
            auto* tabs = qobject_cast<QTabWidget*>(&widget);
            if (auto* page = tabs->findChild<QWidget*>(toQString(pages->ActivePage()->Name()))) {
                tabs->setCurrentWidget(page);
            }
        }
    } else if (dynamic_cast<TDBGrid*>(&component) != nullptr) {
        syncGrid(binding, property);
    }
}

// The designed widths suit the designer's font: a column is widened (never narrowed, so a width
// the user chose stays) until its title and its values show whole in the font on screen.
void WidgetBinder::fitColumns(QTableView& view) {
    // The last column takes the free width (it is stretched), its long texts elided.
    for (int column = 0; column + 1 < view.model()->columnCount(); ++column) {
        // Public on the item view, protected on the table view.
        const QAbstractItemView& items = view;
        const int needed = std::max(view.horizontalHeader()->sectionSizeHint(column),
                                    items.sizeHintForColumn(column));
        if (needed > view.columnWidth(column)) {
            view.setColumnWidth(column, needed);
        }
    }
    fillWithLastColumn(view);
}

// The last column fills the width the others leave: no sideways scrolling on an empty grid or
// after a long text, and a maximised grid is filled.
void WidgetBinder::fillWithLastColumn(QTableView& view) {
    const int last = view.model()->columnCount() - 1;
    if (last < 0) {
        return;
    }
    int used = 0;
    for (int column = 0; column < last; ++column) {
        used += view.columnWidth(column);
    }
    const int free = view.viewport()->width() - used;
    if (view.columnWidth(last) != std::max(free, kLastColumnMinimum)) {
        view.setColumnWidth(last, std::max(free, kLastColumnMinimum));
    }
}

void WidgetBinder::syncGrid(Binding& binding, Property property) {
    auto& grid = dynamic_cast<TDBGrid&>(*binding.component);
    auto* view = qobject_cast<QTableView*>(binding.widget);
    if (view == nullptr) {
        return;
    }
    auto* model = qobject_cast<GridModel*>(view->model());
    if (property == Property::Columns || property == Property::Font) {
        model->reset();
        for (int column = 0; column < static_cast<int>(grid.Columns().size()); ++column) {
            view->setColumnWidth(column, grid.Columns()[static_cast<std::size_t>(column)].Width);
        }
        const QColor title = toQColor(grid.TitleFont().color);
        if (title.isValid()) {
            const QString background = title.lightness() > 128 ? "#3c4f6e" : "palette(button)";
            view->horizontalHeader()->setStyleSheet(
                QStringLiteral("QHeaderView::section { color: %1; background-color: %2; "
                               "border: 0; border-right: 1px solid #8090a8; padding: 2px; }")
                    .arg(title.name(), background));
        }
        const TDBGridOptions options = grid.Options();
        view->horizontalHeader()->setVisible((options & dgTitles) != 0);
        view->horizontalHeader()->setSectionResizeMode(
            (options & dgColumnResize) != 0 ? QHeaderView::Interactive : QHeaderView::Fixed);
        view->setShowGrid((options & (dgRowLines | dgColLines)) != 0);
    }
    if (property == Property::Rows || property == Property::Columns) {
        model->reset();
        fitColumns(*view);
    }
    auto* sortable = dynamic_cast<TDBSortGrid*>(&grid);
    if (sortable != nullptr && (property == Property::Rows || property == Property::Columns ||
                                property == Property::Order)) {
        // The header shows the component's order; its own flip on a click is overwritten here.
        QHeaderView* header = view->horizontalHeader();
        header->setSectionsClickable(true);
        header->setSortIndicatorShown(sortable->SortColumn() >= 0);
        header->setSortIndicator(sortable->SortColumn(), sortable->SortDescending()
                                                             ? Qt::DescendingOrder
                                                             : Qt::AscendingOrder);
    }
    if (property == Property::Rows || property == Property::Columns ||
        property == Property::Cursor || property == Property::Selection) {
        const int row = grid.Row();
        QItemSelection selected;
        for (const int chosen : grid.SelectedRows()) {
            if (chosen < model->rowCount()) {
                selected.select(model->index(chosen, 0), model->index(chosen, 0));
            }
        }
        view->selectionModel()->select(
            selected, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (row >= 0 && row < model->rowCount()) {
            const QModelIndex current = model->index(row, grid.SelectedIndex());
            view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
            if (property != Property::Selection) {
                view->scrollTo(current);
            }
        }
        view->viewport()->update();
    }
}

void WidgetBinder::user(Binding& binding, const std::function<void()>& action) {
    if (form_ == nullptr || binding.component == nullptr) {
        return;
    }
    acting_ = &binding;
    AgendaModule::Guarded(host_, action);
    acting_ = nullptr;
    // The action may have closed the form: then the binding is already detached.
    for (Property property : kUserState) {
        apply(binding, property, false);
    }
}

void WidgetBinder::listen(Binding& binding) {
    Component& component = *binding.component;
    QWidget& widget = *binding.widget;
    Binding* bound = &binding;
    widget.installEventFilter(this);

    if (auto* view = qobject_cast<QTableView*>(&widget)) {
        listenGrid(binding);
        view->viewport()->installEventFilter(this);
    } else if (auto* painted = qobject_cast<CalendarViewWidget*>(&widget)) {
        auto* calendarView = dynamic_cast<TCalendarGrid*>(&component);
        if (calendarView != nullptr) {
            connect(painted, &CalendarViewWidget::cellClicked, connections_.get(),
                    [this, bound, calendarView](int cell, int entry) {
                        user(*bound, [=] { calendarView->ClickCell(cell, entry); });
                    });
            connect(painted, &CalendarViewWidget::cellDoubleClicked, connections_.get(),
                    [this, bound, calendarView](int cell, int entry) {
                        user(*bound, [=] { calendarView->DblClickCell(cell, entry); });
                    });
            connect(painted, &CalendarViewWidget::keyPressed, connections_.get(),
                    [this, bound, calendarView](ViewKey key) {
                        user(*bound, [=] { calendarView->PressKey(key); });
                    });
            // The days take the focus, not the area around them.
            painted->canvas()->installEventFilter(this);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        connect(button, &QAbstractButton::clicked, connections_.get(),
                [this, bound] { user(*bound, [bound] { bound->component->Click(); }); });
    } else if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        auto* edit = dynamic_cast<TCustomEdit*>(&component);
        if (edit != nullptr) {
            connect(line, &QLineEdit::textEdited, connections_.get(),
                    [this, bound, edit](const QString& text) {
                        user(*bound, [edit, text] { edit->EnterText(text.toStdString()); });
                    });
        }
    } else if (auto* rich = qobject_cast<QTextEdit*>(&widget)) {
        auto* edit = dynamic_cast<TCustomEdit*>(&component);
        if (edit != nullptr) {
            connect(rich, &QTextEdit::textChanged, connections_.get(), [this, bound, edit, rich] {
                if (!rich->isReadOnly()) {
                    user(*bound, [edit, rich] { edit->EnterText(rich->toHtml().toStdString()); });
                }
            });
        }
    } else if (auto* spin = qobject_cast<QSpinBox*>(&widget)) {
        auto* edit = dynamic_cast<TCustomEdit*>(&component);
        if (edit != nullptr) {
            connect(spin, &QSpinBox::textChanged, connections_.get(),
                    [this, bound, edit](const QString& text) {
                        user(*bound, [edit, text] { edit->EnterText(text.toStdString()); });
                    });
        }
    } else if (auto* box = qobject_cast<QComboBox*>(&widget)) {
        if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
            connect(box, &QComboBox::activated, connections_.get(),
                    [this, bound, combo](int index) {
                        user(*bound, [combo, index] { combo->SelectItem(index); });
                    });
        }
    } else if (auto* dateEdit = qobject_cast<QDateEdit*>(&widget);
               dateEdit != nullptr && dynamic_cast<TDateEdit*>(&component) != nullptr) {
        auto* edit = dynamic_cast<TDateEdit*>(&component);
        connect(dateEdit, &QDateEdit::dateChanged, connections_.get(),
                [this, bound, edit](QDate day) {
                    user(*bound, [edit, day] {
                        day == kNoDate ? void(edit->EnterText("")) : edit->PickDate(fromQDate(day));
                    });
                });
    } else if (auto* timeEdit = qobject_cast<QDateTimeEdit*>(&widget)) {
        if (auto* picker = dynamic_cast<TDateTimePicker*>(&component)) {
            connect(timeEdit, &QDateTimeEdit::dateTimeChanged, connections_.get(),
                    [this, bound, picker](const QDateTime& value) {
                        const QString text = picker->Kind() == dtkTime
                                                 ? value.time().toString("HH:mm:ss")
                                                 : value.date().toString("dd/MM/yyyy");
                        user(*bound, [picker, text] { picker->EnterText(text.toStdString()); });
                    });
        }
    } else if (auto* calendar = qobject_cast<QCalendarWidget*>(&widget)) {
        // The month menu and the year box of the navigation bar only turn the page: the
        // selected day in the month turned to becomes the user's pick, as a click would.
        connect(
            calendar, &QCalendarWidget::currentPageChanged, connections_.get(),
            [calendar](int year, int month) {
                const QDate selected = calendar->selectedDate();
                if (selected.year() != year || selected.month() != month) {
                    const int last = QDate(year, month, 1).daysInMonth();
                    calendar->setSelectedDate(QDate(year, month, std::min(selected.day(), last)));
                }
            });
        if (auto* month = dynamic_cast<TMonthCalendar*>(&component)) {
            connect(calendar, &QCalendarWidget::selectionChanged, connections_.get(),
                    [this, bound, month, calendar] {
                        user(*bound, [month, calendar] {
                            month->PickDate(fromQDate(calendar->selectedDate()));
                        });
                    });
            connect(calendar, &QCalendarWidget::activated, connections_.get(),
                    [this, bound, month](QDate day) {
                        user(*bound, [month, day] {
                            if (month->PickDate(fromQDate(day))) {
                                month->DoubleClick();
                            }
                        });
                    });
        } else if (auto* data = dynamic_cast<TDBCalendar*>(&component)) {
            connect(calendar, &QCalendarWidget::selectionChanged, connections_.get(),
                    [this, bound, data, calendar] {
                        user(*bound, [data, calendar] {
                            data->SelectDate(fromQDate(calendar->selectedDate()));
                        });
                    });
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        if (auto* pages = dynamic_cast<TPageControl*>(&component)) {
            connect(tabs, &QTabWidget::currentChanged, connections_.get(),
                    [this, bound, pages, tabs](int index) {
                        const std::string name = tabs->widget(index)->objectName().toStdString();
                        user(*bound, [pages, name] {
                            for (TTabSheet* page : pages->Pages()) {
                                if (page->Name() == name) {
                                    pages->SelectPage(*page);
                                }
                            }
                        });
                    });
        }
    }
}

void WidgetBinder::listenGrid(Binding& binding) {
    auto* view = qobject_cast<QTableView*>(binding.widget);
    auto& grid = dynamic_cast<TDBGrid&>(*binding.component);
    Binding* bound = &binding;
    connect(view, &QTableView::clicked, connections_.get(),
            [this, bound, &grid](const QModelIndex& cell) {
                user(*bound, [this, &grid, cell] {
                    if (cell.row() < grid.RowCount()) {
                        grid.ClickCell(cell.row(), cell.column(), shiftState(clickModifiers_));
                    }
                });
            });
    connect(view, &QTableView::doubleClicked, connections_.get(),
            [this, bound, &grid] { user(*bound, [&grid] { grid.DoubleClick(); }); });
    if (auto* sortable = dynamic_cast<TDBSortGrid*>(&grid)) {
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, connections_.get(),
                [this, bound, sortable](int column) {
                    user(*bound, [sortable, column] { sortable->ClickTitle(column); });
                });
    }
}

bool WidgetBinder::eventFilter(QObject* watched, QEvent* event) {
    if (form_ == nullptr) {
        return false;
    }
    if (event->type() == QEvent::Show) {
        if (const auto popup = popups_.find(watched); popup != popups_.end()) {
            const auto* edit = dynamic_cast<TDateEdit*>(popup->second->component);
            if (edit != nullptr && edit->Empty()) {
                const Date today = host_.Today();
                static_cast<QCalendarWidget*>(watched)->setCurrentPage(today.year(), today.month());
            }
            return false;
        }
    }
    auto* view =
        watched->parent() != nullptr ? qobject_cast<QTableView*>(watched->parent()) : nullptr;
    auto* days = watched->parent() != nullptr && watched->parent()->parent() != nullptr
                     ? qobject_cast<CalendarViewWidget*>(watched->parent()->parent())
                     : nullptr;
    QObject* bound = view != nullptr && view->viewport() == watched ? view : watched;
    if (days != nullptr && days->canvas() == watched) {
        bound = days;
    }
    Binding* binding = bindingOf(bound);
    if (binding == nullptr || binding->component == nullptr) {
        return false;
    }
    Component* component = binding->component;
    if (event->type() == QEvent::Resize && view != nullptr && view->viewport() == watched) {
        fillWithLastColumn(*view);
    }
    switch (event->type()) {
        case QEvent::FocusIn:
            if (!component->Focused()) {
                user(*binding, [component] { component->SetFocus(); });
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (dynamic_cast<TDBGrid*>(component) != nullptr) {
                // The click signal that follows carries no modifiers.
                clickModifiers_ = static_cast<QMouseEvent*>(event)->modifiers();
                break;
            }
            if (event->type() == QEvent::MouseButtonPress) {
                break;
            }
            // Panels used as buttons (the weekday and kind panels of the editor).
            if (qobject_cast<QAbstractButton*>(watched) == nullptr && component->OnClick &&
                dynamic_cast<TDBGrid*>(component) == nullptr &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                user(*binding, [component] { component->Click(); });
                return true;
            }
            break;
        case QEvent::KeyPress:
            if (auto* grid = dynamic_cast<TDBGrid*>(component)) {
                const auto* press = static_cast<QKeyEvent*>(event);
                // Ctrl+A selects every row; other letters stay Qt's (keyboard search).
                const int key =
                    press->key() == Qt::Key_A && press->modifiers() & Qt::ControlModifier
                        ? 'A'
                        : virtualKey(press->key());
                if (key == 0) {
                    break;
                }
                TShiftState shift = shiftState(press->modifiers());
                // The desktop's Delete key is the grid's delete chord.
                if (key == VK_DELETE) {
                    shift |= ssCtrl;
                }
                user(*binding, [grid, key, shift] { grid->PressKey(key, shift); });
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace lembrete
