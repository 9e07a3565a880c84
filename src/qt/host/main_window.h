// MainWindow: the client's main window: an MDI area for the module's windows, the menu entry
// "Lembretes > Agenda" that loads PKG_LMB00300 (once) and calls its IniProc, "Ajuda > Guia do
// usuário" (F1 wherever no screen of its own takes it, the alarm window's at the alarms), a
// status bar with the operator and the server, and the wait layer over everything.
//
// It owns the host services and the loaded module; the module is detached before the services
// go. `clock` is where the module reads today (the system clock in the client) and the alarms
// read now; the alarms are polled from construction on (AlarmDesk).
#pragma once

#include <QDate>
#include <QMainWindow>
#include <memory>

#include "qt/host/client_session.h"

class QMdiArea;

namespace lembrete {

class AlarmDesk;
class BusyIndicator;
class Clock;
class ModuleLibrary;
class QtHostServices;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(const ClientSession& session, const Clock& clock);
    ~MainWindow() override;

    QMdiArea& mdiArea() const { return *area_; }
    QtHostServices& services() const { return *services_; }
    ModuleLibrary& module() const { return *module_; }
    AlarmDesk& alarms() const { return *alarms_; }

    // Loads the module when needed and calls IniProc; false (after telling the user) when the
    // module cannot be loaded.
    bool openAgenda();
    // The agenda on reminder `number` of `day`, then the editor on it (the alarms' "Abrir").
    void openReminder(const QString& number, QDate day);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QMdiArea* area_;
    BusyIndicator* busy_;
    std::unique_ptr<QtHostServices> services_;
    std::unique_ptr<ModuleLibrary> module_;
    std::unique_ptr<AlarmDesk> alarms_;
};

}  // namespace lembrete
