// The window "Alarmes" on real widgets against a real server, the clock fixed: an alarm missed
// before login shows at once, a snooze hides it until the clock passes its end, "Abrir" opens
// the editor on the reminder, and a change made on another desktop reloads the agenda.
#include "qt/alarm/alarm_window.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "alarm/alarm_time.h"
#include "client_fixture.h"
#include "qt/alarm/alarm_desk.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

class AlarmWindowTest : public ClientFixture {
  protected:
    // A reminder at `when` whose alarm rings `lead` `unit` before, stored from elsewhere.
    std::string addReminder(const std::string& reference, DateTime when, int lead,
                            const std::string& unit = "S") {
        const auto number =
            callServer("GetPrxAtivPessoal", {Variant(std::string(kOperator))}).payload.asString();
        callServer("SetAfazer",
                   {Variant(reminderDelta({insertOf(reminderRow(
                       {kOperator, number, reference, when, "P", "S", lead, unit}))}))});
        return number;
    }

    // Closes the client and logs in again with the same session.
    void reopenClient() {
        window_.reset();
        QApplication::processEvents();
        window_ = std::make_unique<MainWindow>(
            ClientSession{"127.0.0.1", server_->port(), kOperator, token_, {}}, *clock_);
        window_->show();
    }

    AlarmWindow& alarms() { return window().alarms().window(); }
    QTreeWidget* list() { return alarms().findChild<QTreeWidget*>("lstAlarmes"); }
    QStringList row(int index) {
        QStringList texts;
        for (int column = 0; column < list()->columnCount(); ++column) {
            texts << list()->topLevelItem(index)->text(column);
        }
        return texts;
    }
};

TEST_F(AlarmWindowTest, AnAlarmMissedBeforeLoginShowsAtOnceWithItsRow) {
    addReminder("Consulta", shiftedBy(kNow, -std::chrono::hours(2)), 5);
    addReminder("Almoço", shiftedBy(kNow, std::chrono::hours(3)), 5);
    reopenClient();
    QTRY_VERIFY(alarms().isVisible());
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(row(0), QStringList({"Consulta", "11/03/2026 08:00", "há 2 horas"}));
    EXPECT_EQ(alarms().windowTitle(), "Alarmes");
    EXPECT_TRUE(alarms().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(alarms().isModal());
}

TEST_F(AlarmWindowTest, ASnoozedAlarmComesBackWhenTheClockPassesItsEnd) {
    addReminder("Consulta", shiftedBy(kNow, std::chrono::minutes(2)), 5);
    window().alarms().poll();
    ASSERT_TRUE(alarms().isVisible());
    auto* snooze = alarms().findChild<QMenu*>("mnuAdiar");
    ASSERT_EQ(snooze->actions().size(), 6);
    EXPECT_EQ(snooze->actions()[0]->text(), "5 minutos");
    EXPECT_EQ(snooze->actions()[5]->text(), "1 dia");
    snooze->actions()[0]->trigger();
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    alarms().close();
    EXPECT_FALSE(alarms().isVisible());

    clock_->Set(shiftedBy(kNow, std::chrono::minutes(4)));
    window().alarms().poll();
    EXPECT_FALSE(alarms().isVisible());
    clock_->Set(shiftedBy(kNow, std::chrono::minutes(5)));
    window().alarms().poll();
    EXPECT_TRUE(alarms().isVisible());
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(row(0)[0], "Consulta");
}

TEST_F(AlarmWindowTest, DismissAndDoneLeaveTheListAndTheServerKnows) {
    addReminder("Consulta", kNow, 5);
    const auto done = addReminder("Relatório", kNow, 10);
    window().alarms().poll();
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(row(0)[0], "Relatório");
    list()->clearSelection();
    list()->topLevelItem(0)->setSelected(true);
    clickButton(alarms().findChild<QPushButton*>("btnRealizado"));
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    clickButton(alarms().findChild<QPushButton*>("btnDispensarTodos"));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    const auto stored = serverList(kNow.date(), "Relatório");
    ASSERT_EQ(stored.rows.size(), 1u);
    EXPECT_EQ(render(stored), "2 Relatório 11/03/2026 10:00:00 R");
    EXPECT_EQ(done, "2");
}

TEST_F(AlarmWindowTest, OpenShowsTheEditorOnThatReminder) {
    // Another day than the agenda's: the agenda moves there first.
    addReminder("Dentista", DateTime::fromParts({2026, 3, 12}, 9, 0), 1, "D");
    window().alarms().poll();
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    QString edited;
    auto ran = whenModal([&](QDialog& dialog) {
        edited = dialog.findChild<QLineEdit*>("drtDesc")->text();
        dialog.reject();
    });
    clickButton(alarms().findChild<QPushButton*>("btnAbrir"));
    QTRY_VERIFY(*ran);
    EXPECT_EQ(edited, "Dentista");
}

TEST_F(AlarmWindowTest, AChangeFromAnotherDesktopReloadsTheAgendaKeepingItsRow) {
    createReminder("Primeiro", "08:00");
    createReminder("Segundo", "09:00");
    clickCell(1, 4);
    window().alarms().poll();
    ASSERT_EQ(gridRows(), 2);
    addReminder("Terceiro", DateTime::fromParts({2026, 3, 11}, 7, 0), 5);
    window().alarms().poll();
    ASSERT_EQ(gridRows(), 3);
    EXPECT_EQ(cell(0, 4), "Terceiro");
    auto* grid = agenda<QTableView>("dbsAFazer");
    EXPECT_EQ(cell(grid->currentIndex().row(), 4), "Segundo");
}

}  // namespace
}  // namespace lembrete::testing
