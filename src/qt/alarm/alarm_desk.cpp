#include "qt/alarm/alarm_desk.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include "qt/alarm/alarm_window.h"
#include "shell/clock.h"

namespace lembrete {

AlarmDesk::AlarmDesk(std::unique_ptr<AppServer> server, const std::string& operatorCode,
                     const Clock& clock, QWidget& alertOf)
    : server_(std::move(server)),
      monitor_(*server_, operatorCode, clock),
      alertOf_(alertOf),
      window_(std::make_unique<AlarmWindow>(monitor_)) {
    timer_.setInterval(kPollInterval);
    connect(&timer_, &QTimer::timeout, this, &AlarmDesk::poll);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
        tray_->setToolTip(QStringLiteral("Lembrete"));
        connect(tray_, &QSystemTrayIcon::messageClicked, window_.get(), [this] {
            window_->show();
            window_->raise();
        });
    }
}

AlarmDesk::~AlarmDesk() = default;

void AlarmDesk::start() {
    QTimer::singleShot(0, this, &AlarmDesk::poll);
    timer_.start();
}

void AlarmDesk::poll() {
    try {
        const auto outcome = monitor_.Poll();
        window_->showStatus({});
        window_->refresh();
        if (!outcome.newlyRung.empty()) {
            ring(outcome.newlyRung);
        }
        if (outcome.remindersChanged) {
            Q_EMIT remindersChanged();
        }
    } catch (const AlarmCallError& error) {
        window_->showStatus(QString::fromStdString(error.what()));
    }
}

void AlarmDesk::ring(const std::vector<RungAlarm>& alarms) {
    window_->show();
    window_->raise();
    QApplication::beep();
    QApplication::alert(&alertOf_);
    if (tray_ != nullptr) {
        // The application's icon may have been set after the desk was made.
        tray_->setIcon(QApplication::windowIcon());
        tray_->show();
        const QString first = QString::fromStdString(alarms.front().reference);
        tray_->showMessage(QStringLiteral("Alarmes"),
                           alarms.size() == 1
                               ? first
                               : QStringLiteral("%1 e mais %2").arg(first).arg(alarms.size() - 1),
                           QSystemTrayIcon::Information);
    }
}

}  // namespace lembrete
