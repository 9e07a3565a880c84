// TMonthCalendar: a plain month calendar (the go-to-day dialog's mtcData).
//
// Days outside MinDate..MaxDate cannot be picked by the user (PickDate refuses them); code
// setting a date outside is brought to the nearest end, so the calendar never shows a date it
// would not let the user pick. FirstDayOfWeek uses the weekday numbers 1 = Sunday .. 7.
#pragma once

#include <optional>

#include "data/date.h"
#include "toolkit/component.h"

namespace lembrete {

class TMonthCalendar : public Component {
  public:
    using Component::Component;

    lembrete::Date GetDate() const { return date_; }
    void SetDate(lembrete::Date day);
    std::optional<lembrete::Date> MinDate() const { return minDate_; }
    std::optional<lembrete::Date> MaxDate() const { return maxDate_; }
    // Throws std::invalid_argument when min > max; the date is brought into the new range.
    void SetRange(std::optional<lembrete::Date> minDate, std::optional<lembrete::Date> maxDate);
    bool Selectable(lembrete::Date day) const;

    int FirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetFirstDayOfWeek(int weekday);
    bool ShowToday() const { return showToday_; }
    void SetShowToday(bool show) { showToday_ = show; }

    Event<> OnDblClick;  // OnClick (inherited) fires when the user picks a day

    // User clicks a day: refused (false) outside the range.
    bool PickDate(lembrete::Date day);
    // User double-clicks the selected day.
    void DoubleClick();

  private:
    lembrete::Date clamped(lembrete::Date day) const;

    lembrete::Date date_;
    std::optional<lembrete::Date> minDate_;
    std::optional<lembrete::Date> maxDate_;
    int firstDayOfWeek_ = 1;
    bool showToday_ = true;
};

}  // namespace lembrete
