// AlarmWindow: the window "Alarmes": every rung alarm of the AlarmMonitor (reference, date and
// time, how far the event is), and for the selected ones or all: "Adiar" (a menu of the snooze
// choices), "Dispensar", "Dispensar todos", "Abrir", "Marcar como realizado".
//
// Non-modal and above the other windows; closing it only hides it. It shows what the monitor
// holds (refresh() after every poll) and runs the buttons through it; a failed call is written
// in the window's status line and changes nothing. "Abrir" is the openRequested signal: the
// main window opens the editor. The monitor belongs to the caller and outlives the window.
#pragma once

#include <QDate>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lembrete {

class AlarmMonitor;

class AlarmWindow : public QWidget {
    Q_OBJECT

  public:
    explicit AlarmWindow(AlarmMonitor& monitor, QWidget* parent = nullptr);

    // Lists the monitor's alarms again, keeping the selection of those still listed.
    void refresh();
    // Writes `text` in the status line (empty: clears it).
    void showStatus(const QString& text);
    // The numbers of the selected alarms, in list order.
    std::vector<std::string> selectedNumbers() const;

  Q_SIGNALS:
    void openRequested(const QString& number, QDate day);

  private:
    // Runs `action` on the monitor; a failure goes to the status line. Refreshes either way.
    template <class Action>
    void run(Action action);

    AlarmMonitor& monitor_;
    QTreeWidget* list_;
    QLabel* status_;
    QPushButton* open_;
};

}  // namespace lembrete
