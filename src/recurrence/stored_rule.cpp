#include "recurrence/stored_rule.h"

#include <algorithm>
#include <charconv>

#include "data/reminder_record.h"
#include "data/series_record.h"
#include "recurrence/occurrence_cursor.h"

namespace lembrete {
namespace {

using S = SeriesRecord;

std::optional<int> intervalOf(const std::string& text) {
    int interval = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), interval);
    if (ec != std::errc{} || end != text.data() + text.size() ||
        interval < RecurrenceRule::kMinInterval || interval > RecurrenceRule::kMaxInterval) {
        return std::nullopt;
    }
    return interval;
}

}  // namespace

std::optional<StoredRule> readStoredRule(ClientDataSet& rules) {
    if (!rules.Active() || rules.IsEmpty()) {
        return std::nullopt;
    }
    const auto kind = recurrenceKindFromCode(rules.FieldByName(S::IDTIPOREPET).AsString());
    const auto interval = intervalOf(rules.FieldByName(S::NRINTERREPET).AsString());
    const std::string weekdays = rules.FieldByName(S::IDDIASREPET).AsString();
    const Field start = rules.FieldByName(S::DTINICREPET);
    if (!kind || *kind == RecurrenceKind::None || !interval || !S::isWeekdays(weekdays) ||
        start.IsNull()) {
        return std::nullopt;
    }
    StoredRule stored;
    stored.rule.setKind(*kind);
    stored.rule.setInterval(*interval);
    for (int day = 1; day <= 7; ++day) {
        stored.rule.setWeekday(day, weekdays[day - 1] == 'S');
    }
    stored.rule.setMonthlyMode(rules.FieldByName(S::IDMODOMENSAL).AsString() == "2"
                                   ? MonthlyMode::ByWeekday
                                   : MonthlyMode::ByDate);
    const Field end = rules.FieldByName(S::DTTERMREPET);
    if (!end.IsNull()) {
        stored.rule.setEndDate(end.AsDateTime().date());
    }
    stored.start = start.AsDateTime();
    return stored;
}

void writeStoredRule(ClientDataSet& rules, const StoredRule& stored,
                     const std::string& operatorCode, const std::string& seriesNumber) {
    const RecurrenceRule& rule = stored.rule;
    std::string weekdays;
    for (int day = 1; day <= 7; ++day) {
        weekdays.push_back(rule.weekday(day) ? 'S' : 'N');
    }
    rules.FieldByName(ReminderRecord::CDOPERADOR).SetAsString(operatorCode);
    rules.FieldByName(ReminderRecord::NRREPETATIVP).SetAsString(seriesNumber);
    rules.FieldByName(S::IDTIPOREPET).SetAsString(std::string(recurrenceKindCode(rule.kind())));
    rules.FieldByName(S::NRINTERREPET).SetAsString(std::to_string(rule.interval()));
    rules.FieldByName(S::IDDIASREPET).SetAsString(weekdays);
    rules.FieldByName(S::IDMODOMENSAL)
        .SetAsString(rule.monthlyMode() == MonthlyMode::ByWeekday ? "2" : "1");
    rules.FieldByName(S::DTINICREPET).SetAsDateTime(stored.start);
    Field end = rules.FieldByName(S::DTTERMREPET);
    if (rule.endDate()) {
        end.SetAsDateTime(DateTime(*rule.endDate()));
    } else {
        end.Clear();
    }
}

StoredRule movedBy(const StoredRule& stored, int days) {
    StoredRule moved = stored;
    moved.start = stored.start.withDate(stored.start.date().addDays(days));
    if (const auto end = stored.rule.endDate()) {
        moved.rule.setEndDate(end->addDays(days));
    }
    const int turn = ((days % 7) + 7) % 7;
    for (int day = 1; day <= 7; ++day) {
        moved.rule.setWeekday((day - 1 + turn) % 7 + 1, stored.rule.weekday(day));
    }
    return moved;
}

bool follows(const StoredRule& stored, const std::vector<Date>& dates) {
    if (dates.empty()) {
        return true;
    }
    const Date start = stored.start.date();
    const std::optional<Date> end = stored.rule.endDate();
    if (dates.front() < start || (end && dates.back() > *end)) {
        return false;
    }
    const std::vector<Date> generated = occurrences(stored.rule, start, dates.back());
    return std::includes(generated.begin(), generated.end(), dates.begin(), dates.end());
}

}  // namespace lembrete
