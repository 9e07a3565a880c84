// CalendarViewWidget: shows a CalendarView (the agenda's week or month) and turns the user's
// clicks into the cell and the entry under the pointer, and the arrows and Enter into keys. It
// holds a copy of the view the binder hands it (no pointer into the core) and knows nothing of
// what a click or a key does: the binder passes cellClicked / cellDoubleClicked / keyPressed on
// to the TCalendarGrid.
//
// Layout: a title row with the weekday names, then one row per week, seven columns, painted on
// a canvas inside a scrolling area. A cell shows its day number, then one line per reminder: the
// time, the check of a done one, the alarm picture when the alarm is on, and the reference;
// overdue reminders in maroon, today's cell tinted, the selected one framed, the entry the
// keyboard stands on highlighted, the neighbouring months' days greyed, and "+N" for the
// reminders that do not fit. A week is as tall as its busiest day needs, every reminder shown:
// a crowded day scrolls the view; a month fits the area.
#pragma once

#include <QScrollArea>

#include "views/calendar_view.h"

namespace lembrete {

class CalendarViewWidget : public QScrollArea {
    Q_OBJECT

  public:
    explicit CalendarViewWidget(QWidget* parent = nullptr);

    void setView(CalendarView view);
    const CalendarView& view() const { return view_; }

    // The painted days, which take the clicks and the keyboard focus; the points and rectangles
    // below are in its coordinates.
    QWidget* canvas() const { return widget(); }
    // The cell and the entry (-1: the cell itself) at `point`; cell -1 outside every cell.
    std::pair<int, int> hitAt(QPoint point) const;
    // Where cell `cell`'s entry `entry` is drawn (for tests and for the hit test).
    QRect entryRect(int cell, int entry) const;
    QRect cellRect(int cell) const;
    // How many entries cell `cell` can show in its height, the "+N" line included.
    int visibleEntries(int cell) const;

    QSize sizeHint() const override;

  Q_SIGNALS:
    void cellClicked(int cell, int entry);
    void cellDoubleClicked(int cell, int entry);
    void keyPressed(lembrete::ViewKey key);

  private:
    int lineHeight() const;
    // The canvas height a week needs to show its busiest day whole.
    int weekHeight() const;

    CalendarView view_;
};

}  // namespace lembrete
