// CalendarView: what the agenda's week and month views show, built from the rows of their range.
//
// A week is the seven days Sunday to Saturday that hold the selected day (as the calendar, Sunday
// first); a month is the whole weeks that hold the selected day's month, four to six rows of
// seven days, the neighbouring months' days included but marked. Each day cell lists its
// reminders in the server's order (date-time, then number) with time, reference, alarm mark,
// done state and whether it is overdue (pending and past); a week shows them all, a month the
// first kMonthEntries and "+N" for the rest. A click on a cell selects its day, and the reminder
// under it when there is one. The keyboard stands on the selected day and, within it, on one of
// its entries (Current) or on the day itself; Step says where a key takes it.
//
// The rows come from one GetAFazerPeriodo call for the whole range (ViewLoader), filtered as
// the day list; the view keeps no connection. A value: rebuilt whole on every change.
#pragma once

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/date.h"

namespace lembrete {

enum class ViewKind { Day, Week, Month };

// The keys a view answers: the arrows and Enter.
enum class ViewKey { Left, Right, Up, Down, Enter };

struct ViewEntry {
    std::string number;
    DateTime when;
    std::string reference;
    bool alarm = false;
    bool done = false;
    bool overdue = false;

    std::string time() const;  // "HH:MM"
    friend bool operator==(const ViewEntry&, const ViewEntry&) = default;
};

struct DayCell {
    Date day;
    bool today = false;
    bool selected = false;
    bool inMonth = true;             // false for a neighbouring month's day in a month view
    std::vector<ViewEntry> entries;  // the reminders shown, in time order
    int hidden = 0;                  // the reminders of the day left out ("+N")

    std::string moreText() const;  // "+N", or empty when none is left out
    bool anyOverdue() const;
};

// What a click selects: a day, and a reminder of it (empty number: the day alone).
struct ViewSelection {
    Date day;
    std::string number;
    friend bool operator==(const ViewSelection&, const ViewSelection&) = default;
};

class CalendarView {
  public:
    static constexpr int kMonthEntries = 3;

    // The days the view of `kind` shows around `selected` (the day alone for ViewKind::Day).
    static DayRange RangeOf(ViewKind kind, Date selected);

    CalendarView() = default;
    // `rows`: ReminderRecord rows of RangeOf(kind, selected); rows outside it are ignored.
    // `today` and `now` mark today's cell and overdue reminders.
    CalendarView(ViewKind kind, Date selected, Date today, DateTime now, const ClientDataSet& rows);

    ViewKind Kind() const { return kind_; }
    Date Selected() const { return selected_; }
    DayRange Range() const { return range_; }
    // Row by row, seven cells a week, Sunday first.
    const std::vector<DayCell>& Cells() const { return cells_; }
    int Weeks() const { return static_cast<int>(cells_.size()) / 7; }
    // "27/12/2026 a 02/01/2027" for a week, "Dezembro  2026" for a month.
    std::string Caption() const;
    // The weekday names heading the seven columns, Sunday first.
    static std::vector<std::string> ColumnTitles();

    // What a click on cell `cell` selects: on its entry `entry` (shown, 0-based) that reminder
    // and its day, anywhere else in the cell (entry -1, or the "+N") the day alone.
    // Throws std::out_of_range for a cell or an entry the view does not have.
    ViewSelection Hit(int cell, int entry) const;
    // The index of the cell of `day`, or -1.
    int CellOf(Date day) const;
    // The index of reminder `number` among the shown entries of cell `cell`, or -1.
    int EntryOf(int cell, const std::string& number) const;

    // The entry of the selected day the keyboard stands on, -1 for the day itself (the start).
    int Current() const { return current_; }
    // Puts the keyboard on entry `entry` of the selected day (-1, or one out of range: the day).
    void SetCurrent(int entry);
    // Where `key` takes the keyboard: Left and Right the day before and after; Up and Down the
    // week before and after in a month, and in a week the entry above and below (Down from the
    // day itself the first, Up from the first the day itself; no further at either end); Enter
    // where it stands. The reminder is empty for a day itself.
    ViewSelection Step(ViewKey key) const;

  private:
    ViewKind kind_ = ViewKind::Day;
    Date selected_;
    DayRange range_;
    std::vector<DayCell> cells_;
    int current_ = -1;
};

}  // namespace lembrete
