// TCalendarGrid: the control that shows a CalendarView (the agenda's week or month) and reports
// clicks and keys on it. State only: the view it shows, with the entry the keyboard stands on;
// the Qt side paints it and turns the user's clicks into ClickCell / DblClickCell with the cell
// and the entry under the pointer, and the arrows and Enter into PressKey.
#pragma once

#include <string>

#include "toolkit/component.h"
#include "views/calendar_view.h"

namespace lembrete {

class TCalendarGrid : public Component {
  public:
    using Component::Component;

    const CalendarView& View() const { return view_; }
    // Shows `view` (reported as Property::Rows).
    void SetView(CalendarView view);

    // (cell, entry): the cell's index in View().Cells() and the entry's index among the shown
    // ones, -1 for the cell itself.
    Event<int, int> OnCellClick;
    Event<int, int> OnCellDblClick;
    // An arrow took the keyboard to this day and reminder (CalendarView::Step); Enter there.
    Event<ViewSelection> OnKeySelect;
    Event<ViewSelection> OnKeyOpen;

    // User clicks (double-clicks) cell `cell` on entry `entry`; nothing on a control the user
    // cannot reach or outside the view.
    void ClickCell(int cell, int entry);
    void DblClickCell(int cell, int entry);
    // User presses `key` on the view; a click leaves the keyboard on the entry clicked.
    void PressKey(ViewKey key);

  private:
    bool reaches(int cell, int entry) const;
    // Puts the keyboard on entry `entry` of `day` if the view shows that day selected.
    void standOn(Date day, int entry);

    CalendarView view_;
};

}  // namespace lembrete
