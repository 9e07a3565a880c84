#include "views/calendar_grid.h"

namespace lembrete {

void TCalendarGrid::SetView(CalendarView view) {
    view_ = std::move(view);
    changed(Property::Rows);
}

bool TCalendarGrid::reaches(int cell, int entry) const {
    const auto& cells = view_.Cells();
    return Interactive() && cell >= 0 && cell < static_cast<int>(cells.size()) && entry >= -1 &&
           entry < static_cast<int>(cells[static_cast<std::size_t>(cell)].entries.size());
}

void TCalendarGrid::ClickCell(int cell, int entry) {
    if (reaches(cell, entry)) {
        const Date day = view_.Cells()[static_cast<std::size_t>(cell)].day;
        userAction([&] { OnCellClick.fire(cell, entry); });
        // The click may have brought a new view of that day.
        standOn(day, entry);
    }
}

void TCalendarGrid::PressKey(ViewKey key) {
    if (!Interactive() || view_.CellOf(view_.Selected()) < 0) {
        return;
    }
    const ViewSelection target = view_.Step(key);
    if (key == ViewKey::Enter) {
        userAction([&] { OnKeyOpen.fire(target); });
        return;
    }
    userAction([&] { OnKeySelect.fire(target); });
    standOn(target.day, view_.EntryOf(view_.CellOf(target.day), target.number));
}

void TCalendarGrid::standOn(Date day, int entry) {
    if (view_.Selected() == day && view_.Current() != entry) {
        view_.SetCurrent(entry);
        changed(Property::Rows);
    }
}

void TCalendarGrid::DblClickCell(int cell, int entry) {
    if (reaches(cell, entry)) {
        userAction([&] { OnCellDblClick.fire(cell, entry); });
    }
}

}  // namespace lembrete
