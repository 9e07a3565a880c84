// TDBCalendar: the agenda's month calendar (dbcAFazer).
//
// The selected date is read and written whole (GetDate / SetDate) or element by element
// (GetDateElement / SetDateElement: 1 year, 2 month, 3 day). OnChange fires once per change
// of the selected date: a write that leaves the date as it was raises nothing.
//
// Month ends: a single element write never produces an impossible date. Writing a day past
// the month's end selects the month's last day; writing a month or a year keeps the day when
// the new month has it and otherwise takes the new month's last day (31 January, month 2 ->
// 28 or 29 February). Element writes can pass through an intermediate date (a day step from
// 31 January written as day 1, month 2 selects 1 January first): to move to another date
// with a single OnChange, write it whole with SetDate.
//
// The days listed in the DataField ("DTATIVPESS") of the bound DataSource's rows are marked;
// the marks follow every reload and posted change of that dataset.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "data/date.h"
#include "toolkit/color.h"
#include "toolkit/component.h"
#include "toolkit/data_link.h"

namespace lembrete {

class TDBCalendar : public Component {
  public:
    TDBCalendar(TForm* owner, std::string name);

    lembrete::Date GetDate() const;
    void SetDate(lembrete::Date day);
    // element 1 = year, 2 = month, 3 = day; throws std::out_of_range for another element or a
    // value outside year 1..9999, month 1..12, day 1..31.
    std::uint16_t GetDateElement(int element) const;
    void SetDateElement(int element, int value);
    std::uint16_t Year() const { return GetDateElement(1); }
    std::uint16_t Month() const { return GetDateElement(2); }
    std::uint16_t Day() const { return GetDateElement(3); }
    void SetYear(int year) { SetDateElement(1, year); }
    void SetMonth(int month) { SetDateElement(2, month); }
    void SetDay(int day) { SetDateElement(3, day); }

    int StartOfWeek() const { return startOfWeek_; }  // 0 = Sunday .. 6 = Saturday
    void SetStartOfWeek(int day);
    bool ShowCurrentDay() const { return showCurrentDay_; }
    void SetShowCurrentDay(bool show) { showCurrentDay_ = show; }
    bool UseCurrentDate() const { return useCurrentDate_; }
    void SetUseCurrentDate(bool use) { useCurrentDate_ = use; }
    TColor HollidayColor() const { return hollidayColor_; }
    void SetHollidayColor(TColor color) { hollidayColor_ = color; }

    lembrete::DataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(lembrete::DataSource* source) { link_.SetSource(source); }
    const std::string& DataField() const { return dataField_; }
    void SetDataField(std::string field);
    const std::set<lembrete::Date>& MarkedDays() const { return marks_; }
    bool IsMarked(lembrete::Date day) const { return marks_.count(day) > 0; }
    // Every day a six-week month grid may show for the selected month, whether it puts the
    // month's first week on its first row or on its second: the week before the month's first
    // week through the sixth week from it. The marks outside it are never seen.
    lembrete::DayRange ShownDays() const;

    Event<> OnChange;

    // User clicks a day.
    void SelectDate(lembrete::Date day);

  private:
    void apply(lembrete::Date day);
    void reloadMarks();

    lembrete::Date date_;
    int startOfWeek_ = 0;
    bool showCurrentDay_ = true;
    bool useCurrentDate_ = false;
    TColor hollidayColor_ = clRed;
    std::string dataField_;
    std::set<lembrete::Date> marks_;
    DataLink link_;
};

}  // namespace lembrete
