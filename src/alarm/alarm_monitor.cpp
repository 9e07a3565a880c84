#include "alarm/alarm_monitor.h"

#include <algorithm>

#include "alarm/alarm_calls.h"
#include "alarm/alarm_text.h"
#include "data/reminder_record.h"
#include "shell/clock.h"

namespace lembrete {
namespace {

RungAlarm alarmOf(const DataPacket& packet, const Row& row) {
    const auto value = [&](std::string_view name) -> const Variant& {
        return row[packet.fieldIndex(name)];
    };
    const Variant& reference = value(ReminderRecord::DSREFEATPESS);
    return {value(ReminderRecord::NRATIVPESS).asString(),
            reference.isNull() ? std::string() : reference.asString(),
            value(ReminderRecord::DTATIVPESS).asDateTime(),
            value(alarm_contract::kAlarmTimeField).asDateTime()};
}

}  // namespace

AlarmMonitor::AlarmMonitor(AppServer& server, std::string operatorCode, const Clock& clock)
    : server_(server), operatorCode_(std::move(operatorCode)), clock_(clock) {}

Variant AlarmMonitor::call(std::string_view method, const std::vector<Variant>& args) {
    ServerResult result = server_.call(method, args);
    if (!result.ok()) {
        throw AlarmCallError(result.error->message);
    }
    return std::move(result.payload);
}

AlarmMonitor::PollOutcome AlarmMonitor::Poll() {
    const Variant packet =
        call(alarm_contract::kGetAlarms, {Variant(operatorCode_), Variant(clock_.Now())});
    const Variant count = call(alarm_contract::kGetChangeCount, {Variant(operatorCode_)});
    if (packet.kind() != VariantKind::Packet || count.kind() != VariantKind::Integer) {
        throw AlarmCallError("Resposta inesperada do servidor ao consultar os alarmes.");
    }
    PollOutcome outcome;
    std::vector<RungAlarm> polled;
    for (const auto& row : packet.asPacket().rows) {
        polled.push_back(alarmOf(packet.asPacket(), row));
        if (rung_.emplace(polled.back().number, polled.back().alarmTime).second) {
            outcome.newlyRung.push_back(polled.back());
        }
    }
    alarms_ = std::move(polled);
    outcome.remindersChanged = changeCount_ && *changeCount_ != count.asInteger();
    changeCount_ = count.asInteger();
    return outcome;
}

const RungAlarm* AlarmMonitor::Find(const std::string& number) const {
    const auto found = std::find_if(alarms_.begin(), alarms_.end(),
                                    [&](const RungAlarm& alarm) { return alarm.number == number; });
    return found != alarms_.end() ? &*found : nullptr;
}

void AlarmMonitor::forget(const std::vector<std::string>& numbers) {
    std::erase_if(alarms_, [&](const RungAlarm& alarm) {
        return std::find(numbers.begin(), numbers.end(), alarm.number) != numbers.end();
    });
}

void AlarmMonitor::setAlarm(const std::vector<std::string>& numbers, const Variant& snoozeUntil) {
    for (const auto& number : numbers) {
        call(alarm_contract::kSetAlarm, {Variant(operatorCode_), Variant(number), snoozeUntil});
        forget({number});
    }
}

void AlarmMonitor::Snooze(const std::vector<std::string>& numbers, const SnoozeChoice& choice) {
    setAlarm(numbers, Variant(snoozeEnd(clock_.Now(), choice)));
}

void AlarmMonitor::Dismiss(const std::vector<std::string>& numbers) {
    setAlarm(numbers, Variant());
}

void AlarmMonitor::DismissAll() {
    std::vector<std::string> numbers;
    for (const auto& alarm : alarms_) {
        numbers.push_back(alarm.number);
    }
    Dismiss(numbers);
}

void AlarmMonitor::MarkDone(const std::vector<std::string>& numbers) {
    // Only the key and the two codes travel: the server compares and writes those alone, so a
    // reminder changed meanwhile in any other field is still marked.
    DataPacket delta;
    const auto all = ReminderRecord::fields();
    for (const auto name : {ReminderRecord::CDOPERADOR, ReminderRecord::NRATIVPESS,
                            ReminderRecord::IDSITUATPESS, ReminderRecord::IDALARATPESS}) {
        delta.fields.push_back(*std::find_if(
            all.begin(), all.end(), [&](const FieldDef& field) { return field.name == name; }));
    }
    for (const auto& number : numbers) {
        delta.changes.push_back(
            {ChangeKind::Update,
             Row{Variant(operatorCode_), Variant(number), Variant(ReminderRecord::kPending),
                 Variant(ReminderRecord::kAlarmOn)},
             Row{Variant(operatorCode_), Variant(number), Variant(ReminderRecord::kDone),
                 Variant(ReminderRecord::kAlarmOff)}});
    }
    if (delta.changes.empty()) {
        return;
    }
    call("SetAfazer", {Variant(std::move(delta))});
    forget(numbers);
}

std::string AlarmMonitor::EventDistance(const RungAlarm& alarm) const {
    return relativeTimeText(alarm.event, clock_.Now());
}

}  // namespace lembrete
