#include "views/calendar_view.h"

#include <algorithm>
#include <stdexcept>

#include "data/reminder_record.h"
#include "shell/calendar_names.h"

namespace lembrete {

std::string ViewEntry::time() const {
    return when.formatTime().substr(0, 5);
}

std::string DayCell::moreText() const {
    return hidden > 0 ? "+" + std::to_string(hidden) : std::string();
}

bool DayCell::anyOverdue() const {
    for (const auto& entry : entries) {
        if (entry.overdue) {
            return true;
        }
    }
    return false;
}

DayRange CalendarView::RangeOf(ViewKind kind, Date selected) {
    const auto sundayOf = [](Date day) { return day.addDays(1 - day.weekday()); };
    switch (kind) {
        case ViewKind::Week:
            return {sundayOf(selected), sundayOf(selected).addDays(6)};
        case ViewKind::Month: {
            const Date first = Date::fromParts(selected.year(), selected.month(), 1);
            const Date last = first.addDays(daysInMonth(selected.year(), selected.month()) - 1);
            return {sundayOf(first), sundayOf(last).addDays(6)};
        }
        case ViewKind::Day:
            break;
    }
    return {selected, selected};
}

CalendarView::CalendarView(ViewKind kind, Date selected, Date today, DateTime now,
                           const ClientDataSet& rows)
    : kind_(kind), selected_(selected), range_(RangeOf(kind, selected)) {
    for (Date day = range_.first; day <= range_.last; day = day.addDays(1)) {
        DayCell cell;
        cell.day = day;
        cell.today = day == today;
        cell.selected = day == selected;
        cell.inMonth = kind != ViewKind::Month || day.month() == selected.month();
        cells_.push_back(std::move(cell));
    }
    if (!rows.Active()) {
        return;
    }
    const int number = rows.FieldIndex(ReminderRecord::NRATIVPESS);
    const int when = rows.FieldIndex(ReminderRecord::DTATIVPESS);
    const int reference = rows.FieldIndex(ReminderRecord::DSREFEATPESS);
    const int state = rows.FieldIndex(ReminderRecord::IDSITUATPESS);
    const int alarm = rows.FieldIndex(ReminderRecord::IDALARATPESS);
    const std::size_t shown = kind == ViewKind::Month ? kMonthEntries : SIZE_MAX;
    for (int i = 0; i < rows.RecordCount(); ++i) {
        const Row& row = rows.RowAt(i);
        if (row[when].kind() != VariantKind::DateTime) {
            continue;
        }
        const int index = CellOf(row[when].asDateTime().date());
        if (index < 0) {
            continue;
        }
        DayCell& cell = cells_[index];
        if (cell.entries.size() >= shown) {
            ++cell.hidden;
            continue;
        }
        ViewEntry entry;
        entry.number = row[number].toText();
        entry.when = row[when].asDateTime();
        entry.reference = row[reference].toText();
        entry.alarm = row[alarm].toText() == ReminderRecord::kAlarmOn;
        entry.done = row[state].toText() == ReminderRecord::kDone;
        entry.overdue = row[state].toText() == ReminderRecord::kPending && entry.when < now;
        cell.entries.push_back(std::move(entry));
    }
}

std::string CalendarView::Caption() const {
    if (kind_ == ViewKind::Month) {
        return monthName(selected_.month()) + "  " + std::to_string(selected_.year());
    }
    return range_.first.format() + " a " + range_.last.format();
}

std::vector<std::string> CalendarView::ColumnTitles() {
    std::vector<std::string> titles;
    for (int weekday = 1; weekday <= 7; ++weekday) {
        titles.push_back(weekdayName(weekday));
    }
    return titles;
}

ViewSelection CalendarView::Hit(int cell, int entry) const {
    const DayCell& hit = cells_.at(static_cast<std::size_t>(cell));
    if (entry < 0) {
        return {hit.day, {}};
    }
    return {hit.day, hit.entries.at(static_cast<std::size_t>(entry)).number};
}

int CalendarView::EntryOf(int cell, const std::string& number) const {
    if (cell < 0 || cell >= static_cast<int>(cells_.size())) {
        return -1;
    }
    const auto& entries = cells_[static_cast<std::size_t>(cell)].entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].number == number) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CalendarView::SetCurrent(int entry) {
    const int cell = CellOf(selected_);
    const int shown =
        cell < 0 ? 0 : static_cast<int>(cells_[static_cast<std::size_t>(cell)].entries.size());
    current_ = entry >= 0 && entry < shown ? entry : -1;
}

ViewSelection CalendarView::Step(ViewKey key) const {
    const int cell = CellOf(selected_);
    const auto at = [&](int entry) {
        return entry < 0 ? ViewSelection{selected_, {}} : Hit(cell, entry);
    };
    switch (key) {
        case ViewKey::Left:
            return {selected_.addDays(-1), {}};
        case ViewKey::Right:
            return {selected_.addDays(1), {}};
        case ViewKey::Up:
            if (kind_ == ViewKind::Month) {
                return {selected_.addDays(-7), {}};
            }
            return at(std::max(-1, current_ - 1));
        case ViewKey::Down: {
            if (kind_ == ViewKind::Month) {
                return {selected_.addDays(7), {}};
            }
            const int shown =
                static_cast<int>(cells_[static_cast<std::size_t>(cell)].entries.size());
            return at(std::min(shown - 1, current_ + 1));
        }
        case ViewKey::Enter:
            break;
    }
    return at(current_);
}

int CalendarView::CellOf(Date day) const {
    const int index = range_.first.daysUntil(day);
    return index >= 0 && index < static_cast<int>(cells_.size()) ? index : -1;
}

}  // namespace lembrete
