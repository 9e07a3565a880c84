// The desktop's alarm monitor against a real lembrete-server, its clock fixed: two desktops of
// one operator ringing once each, sharing dismissals, snoozes and "done", and hearing of changes.
#include "alarm/alarm_monitor.h"

#include <gtest/gtest.h>

#include "net/json_rpc_app_server.h"
#include "support/fixed_clock.h"
#include "support/reminder_deltas.h"
#include "support/rpc_checks.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

using std::chrono::minutes;

const DateTime kEvent = DateTime::fromParts({2026, 6, 15}, 14, 30);

std::string numbers(const std::vector<RungAlarm>& alarms) {
    std::string text;
    for (const auto& alarm : alarms) {
        text += (text.empty() ? "" : " ") + alarm.number;
    }
    return text;
}

class AlarmMonitorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.start();
        desk1_ = loggedInClient(server_.port(), "ANA", "senha-da-ana");
        desk2_ = loggedInClient(server_.port(), "ANA", "senha-da-ana");
    }

    // A reminder at kEvent + `offset` whose alarm rings `lead` minutes before it.
    std::string add(const std::string& reference, minutes offset, int lead) {
        const auto number = okPayload(desk1_->call("GetPrxAtivPessoal", {"ANA"})).asString();
        const Row row =
            reminderRow({"ANA", number, reference, shiftedBy(kEvent, offset), "P", "S", lead, "S"});
        okPayload(desk1_->call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))}));
        return number;
    }

    ServerProcess server_;
    std::unique_ptr<JsonRpcAppServer> desk1_;
    std::unique_ptr<JsonRpcAppServer> desk2_;
    FixedClock clock_{kEvent};
};

TEST_F(AlarmMonitorTest, EachDesktopRingsOnceAndADismissalReachesTheOther) {
    add("Reunião", minutes(0), 2);
    add("Ligação", minutes(0), 1);
    add("Amanhã", minutes(24 * 60), 1);
    AlarmMonitor first(*desk1_, "ANA", clock_);
    AlarmMonitor second(*desk2_, "ANA", clock_);
    EXPECT_EQ(numbers(first.Poll().newlyRung), "1 2");
    EXPECT_EQ(numbers(second.Poll().newlyRung), "1 2");
    EXPECT_EQ(numbers(first.Poll().newlyRung), "");
    EXPECT_EQ(numbers(first.Alarms()), "1 2");

    first.Dismiss({"1"});
    EXPECT_EQ(numbers(first.Alarms()), "2");
    const auto heard = second.Poll();
    EXPECT_EQ(numbers(heard.newlyRung), "");
    EXPECT_EQ(numbers(second.Alarms()), "2");
    EXPECT_FALSE(heard.remindersChanged);

    second.DismissAll();
    EXPECT_EQ(numbers(second.Alarms()), "");
    first.Poll();
    EXPECT_EQ(numbers(first.Alarms()), "");
}

TEST_F(AlarmMonitorTest, ASnoozedAlarmRingsAgainWhenTheClockPassesItsEnd) {
    add("Reunião", minutes(0), 2);
    AlarmMonitor monitor(*desk1_, "ANA", clock_);
    monitor.Poll();
    monitor.Snooze({"1"}, kSnoozeChoices[0]);
    EXPECT_EQ(numbers(monitor.Alarms()), "");
    clock_.Set(shiftedBy(kEvent, minutes(4)));
    EXPECT_EQ(numbers(monitor.Poll().newlyRung), "");
    clock_.Set(shiftedBy(kEvent, minutes(5)));
    const auto again = monitor.Poll().newlyRung;
    ASSERT_EQ(numbers(again), "1");
    EXPECT_EQ(again[0].alarmTime.iso(), "2026-06-15T14:35:00");
    EXPECT_EQ(monitor.EventDistance(again[0]), "há 5 minutos");
}

TEST_F(AlarmMonitorTest, MarkingDoneSilencesEveryDesktopAndTellsThemTheListChanged) {
    add("Reunião", minutes(0), 2);
    add("Ligação", minutes(0), 1);
    AlarmMonitor first(*desk1_, "ANA", clock_);
    AlarmMonitor second(*desk2_, "ANA", clock_);
    first.Poll();
    EXPECT_FALSE(second.Poll().remindersChanged);
    first.MarkDone({"2"});
    EXPECT_EQ(numbers(first.Alarms()), "1");
    const auto heard = second.Poll();
    EXPECT_TRUE(heard.remindersChanged);
    EXPECT_EQ(numbers(second.Alarms()), "1");
    EXPECT_FALSE(second.Poll().remindersChanged);

    const auto agenda = okPayload(desk2_->call(
        "GetAFazer", {"", "ANA", Variant(DateTime(kEvent.date())), true, true, false}));
    EXPECT_EQ(render(agenda.asPacket()),
              "1 Reunião 15/06/2026 14:30:00 P; 2 Ligação 15/06/2026 14:30:00 R");
}

TEST_F(AlarmMonitorTest, AFailedCallThrowsTheServersMessageAndKeepsTheList) {
    add("Reunião", minutes(0), 2);
    AlarmMonitor monitor(*desk1_, "ANA", clock_);
    monitor.Poll();
    AlarmMonitor stranger(*desk1_, "BETO", clock_);
    EXPECT_THROW(stranger.Poll(), AlarmCallError);
    EXPECT_THROW(monitor.Dismiss({"99"}), AlarmCallError);
    EXPECT_EQ(numbers(monitor.Alarms()), "1");
    server_.stop();
    EXPECT_THROW(monitor.Poll(), AlarmCallError);
    EXPECT_EQ(numbers(monitor.Alarms()), "1");
}

}  // namespace
}  // namespace lembrete::testing
