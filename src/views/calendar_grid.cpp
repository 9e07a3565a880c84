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
        userAction([&] { OnCellClick.fire(cell, entry); });
    }
}

void TCalendarGrid::DblClickCell(int cell, int entry) {
    if (reaches(cell, entry)) {
        userAction([&] { OnCellDblClick.fire(cell, entry); });
    }
}

}  // namespace lembrete
