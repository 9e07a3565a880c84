#include "qt/alarm/alarm_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "alarm/alarm_monitor.h"

namespace lembrete {
namespace {

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

QPushButton* button(const char* objectName, const QString& caption, QWidget* parent) {
    auto* created = new QPushButton(caption, parent);
    created->setObjectName(QString::fromLatin1(objectName));
    return created;
}

}  // namespace

AlarmWindow::AlarmWindow(AlarmMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      monitor_(monitor),
      list_(new QTreeWidget(this)),
      status_(new QLabel(this)),
      open_(button("btnAbrir", QStringLiteral("Abrir"), this)) {
    setObjectName("frmAlarmes");
    setWindowTitle(QStringLiteral("Alarmes"));
    list_->setObjectName("lstAlarmes");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels(
        {QStringLiteral("Lembrete"), QStringLiteral("Data e hora"), QStringLiteral("Quando")});
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    status_->setObjectName("lblStatus");
    status_->setWordWrap(true);

    auto* snooze = button("btnAdiar", QStringLiteral("Adiar"), this);
    auto* choices = new QMenu(snooze);
    choices->setObjectName("mnuAdiar");
    for (const auto& choice : kSnoozeChoices) {
        QAction* action = choices->addAction(qtext(std::string(choice.caption)));
        connect(action, &QAction::triggered, this,
                [this, &choice] { run([&] { monitor_.Snooze(selectedNumbers(), choice); }); });
    }
    snooze->setMenu(choices);
    auto* dismiss = button("btnDispensar", QStringLiteral("Dispensar"), this);
    connect(dismiss, &QPushButton::clicked, this,
            [this] { run([this] { monitor_.Dismiss(selectedNumbers()); }); });
    auto* dismissAll = button("btnDispensarTodos", QStringLiteral("Dispensar todos"), this);
    connect(dismissAll, &QPushButton::clicked, this,
            [this] { run([this] { monitor_.DismissAll(); }); });
    auto* done = button("btnRealizado", QStringLiteral("Marcar como realizado"), this);
    connect(done, &QPushButton::clicked, this,
            [this] { run([this] { monitor_.MarkDone(selectedNumbers()); }); });
    connect(open_, &QPushButton::clicked, this, [this] {
        const auto numbers = selectedNumbers();
        if (const RungAlarm* alarm = numbers.empty() ? nullptr : monitor_.Find(numbers.front())) {
            const auto day = alarm->event.date();
            Q_EMIT openRequested(qtext(alarm->number), QDate(day.year(), day.month(), day.day()));
        }
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, open_, &QPushButton::click);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {snooze, dismiss, dismissAll, open_, done}) {
        buttons->addWidget(each);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(status_);
    layout->addLayout(buttons);
    resize(640, 300);
}

void AlarmWindow::showStatus(const QString& text) {
    status_->setText(text);
}

std::vector<std::string> AlarmWindow::selectedNumbers() const {
    std::vector<std::string> numbers;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected()) {
            numbers.push_back(
                list_->topLevelItem(i)->data(0, Qt::UserRole).toString().toStdString());
        }
    }
    return numbers;
}

void AlarmWindow::refresh() {
    const auto selected = selectedNumbers();
    list_->clear();
    for (const auto& alarm : monitor_.Alarms()) {
        auto* item = new QTreeWidgetItem(list_, {qtext(alarm.reference),
                                                 qtext(alarm.event.date().format() + " " +
                                                       alarm.event.formatTime().substr(0, 5)),
                                                 qtext(monitor_.EventDistance(alarm))});
        item->setData(0, Qt::UserRole, qtext(alarm.number));
        item->setSelected(std::find(selected.begin(), selected.end(), alarm.number) !=
                          selected.end());
    }
    if (list_->selectedItems().isEmpty() && list_->topLevelItemCount() > 0) {
        list_->topLevelItem(0)->setSelected(true);
        list_->setCurrentItem(list_->topLevelItem(0));
    }
}

template <class Action>
void AlarmWindow::run(Action action) {
    try {
        action();
        showStatus({});
    } catch (const AlarmCallError& error) {
        showStatus(qtext(error.what()));
    }
    refresh();
}

}  // namespace lembrete
