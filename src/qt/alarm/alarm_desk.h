// AlarmDesk: the alarms of the logged-in operator on the desktop: polls the server at start()
// and then every kPollInterval whatever window is open, shows the window "Alarmes" when an
// alarm rings for the first time, with a tray notification where the desktop has a tray, the
// system's beep and the taskbar alert, and says when the operator's reminders changed
// elsewhere (remindersChanged) so an open agenda reloads.
//
// It owns the alarm connection (its own, carrying the session's token), the monitor and the
// window. A failed poll is written in the window's status line; the next poll tries again.
// User-interface thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

#include "alarm/alarm_monitor.h"

class QSystemTrayIcon;
class QWidget;

namespace lembrete {

class AlarmWindow;
class AppServer;
class Clock;

class AlarmDesk : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::seconds kPollInterval{30};

    // `alertOf` is the window whose taskbar entry the alert flashes.
    AlarmDesk(std::unique_ptr<AppServer> server, const std::string& operatorCode,
              const Clock& clock, QWidget& alertOf);
    ~AlarmDesk() override;

    // The first poll as soon as the event loop runs, then one every kPollInterval.
    void start();
    // Polls now (the timer's slot).
    void poll();

    AlarmWindow& window() const { return *window_; }
    AlarmMonitor& monitor() { return monitor_; }

  Q_SIGNALS:
    void remindersChanged();

  private:
    void ring(const std::vector<RungAlarm>& alarms);

    std::unique_ptr<AppServer> server_;
    AlarmMonitor monitor_;
    QWidget& alertOf_;
    std::unique_ptr<AlarmWindow> window_;
    QTimer timer_;
    QSystemTrayIcon* tray_ = nullptr;  // child of this, only where a tray exists
};

}  // namespace lembrete
