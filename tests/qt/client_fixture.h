// ClientFixture: a real lembrete-server on a free loopback port with a fresh SQLite file, an
// operator logged in through the client's own login, and the client's main window with the
// module loaded from the build folder. "Today" is fixed through the host clock (Wednesday,
// 11 March 2026). Helpers find the module's widgets by their component names, answer modal
// dialogs while they run, click grid cells and calendar days as a user does, and ask the
// server directly what it holds.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "data/app_server.h"
#include "data/data_packet.h"
#include "qt/host/main_window.h"
#include "support/fixed_clock.h"
#include "support/server_process.h"

namespace lembrete::testing {

class ClientFixture : public ::testing::Test {
  protected:
    static constexpr const char* kOperator = "TESTE";
    static constexpr const char* kPassword = "senha-de-teste";
    static const DateTime kNow;

    void SetUp() override;
    void TearDown() override;

    MainWindow& window() { return *window_; }
    QMdiSubWindow* agendaWindow() const;

    // The agenda's widget of that component name (fails the test when missing).
    template <class T>
    T* agenda(const char* name) const {
        QMdiSubWindow* sub = agendaWindow();
        T* found = sub != nullptr ? sub->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Runs `script` on the next modal dialog of type T (a module dialog or a message box) once
    // it shows; returns a flag that tells whether it ran.
    template <class T = QDialog>
    std::shared_ptr<bool> whenModal(std::type_identity_t<std::function<void(T&)>> script) {
        auto ran = std::make_shared<bool>(false);
        auto* timer = new QTimer(scripts_.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, ran, script] {
            if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
                modal != nullptr && modal->isVisible()) {
                timer->stop();
                timer->deleteLater();
                *ran = true;
                script(*modal);
            }
        });
        timer->start();
        return ran;
    }
    // Presses the message box's button with that text ("&Sim", "&Não", "OK").
    void answerMessageBox(const QString& button, QString* text = nullptr);

    // A new reminder of today through the agenda's "Incluir" and the editor, as a user
    // creates one; `description` is HTML for the "Descrição" tab.
    void createReminder(const QString& reference, const QString& time, bool alarm = false,
                        const QString& description = {});
    // `count` pending reminders of today, "Lembrete 1" on, the first at `first` after midnight
    // and each `apart` after the one before, stored with one SetAfazer (straight on the
    // server), then the list read.
    void seedToday(int count, std::chrono::minutes first, std::chrono::minutes apart);
    // Types `text` into `widget` key by key (any Unicode text, unlike QTest::keyClicks).
    static void typeText(QWidget* widget, const QString& text);
    // User actions on the agenda.
    void clickCell(int row, int column, bool twice = false);
    static void clickButton(QAbstractButton* button);
    // Makes `window` the active window, so that focus and keys reach its widgets.
    static void activate(QWidget& window);
    void clickDay(QCalendarWidget& calendar, QDate day);
    int gridRows() const;
    QString cell(int row, int column) const;

    ServerResult callServer(std::string_view method, const std::vector<Variant>& args);
    // What the server holds for the operator from `from` on (every state).
    DataPacket serverList(Date from, const std::string& reference = {});
    // The operator marks the only reminder of `day` done on another desktop (straight on the
    // server), so this desktop's list is stale.
    void markDoneElsewhere(Date day);
    // The stored description (TXATIVPESS) of the operator's reminder `number`.
    std::string serverDescription(const std::string& number);

    // Owns the pending modal scripts, so none outlives its test.
    std::unique_ptr<QObject> scripts_ = std::make_unique<QObject>();
    std::unique_ptr<ServerProcess> server_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<MainWindow> window_;
    std::string token_;
};

// Where the README's pictures are rendered (LEMBRETE_SCREENSHOTS overrides the build folder).
QString screenshotFolder();
// Saves `widget` as picture `name` there. A window of its own (a dialog, the help) gets the
// title bar the desktop shows with its caption, drawn as the agenda's window draws its own.
void saveScreenshot(QWidget& widget, const QString& name);

}  // namespace lembrete::testing

// Readable dates and times in the failures of the Qt suites.
inline void PrintTo(const QDate& date, std::ostream* out) {
    *out << date.toString(Qt::ISODate).toStdString();
}
inline void PrintTo(const QTime& time, std::ostream* out) {
    *out << time.toString(Qt::ISODate).toStdString();
}
