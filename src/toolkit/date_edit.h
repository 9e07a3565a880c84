// TDateEdit: a date box with a pop-up calendar; empty or holding a date.
//
// With SaveTime false (the default) the time part is dropped; with SaveTime true the box keeps
// the time part of the date it was given, also when the user types or picks another day.
// NomeSemana holds the weekday names the pop-up shows ("Domingo" .. "Sábado"). OnChange fires
// on every change of the date, by code or by the user.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "data/date.h"
#include "toolkit/component.h"

namespace lembrete {

class TDateEdit : public Component {
  public:
    using Component::Component;

    std::optional<DateTime> GetDate() const { return date_; }
    bool Empty() const { return !date_.has_value(); }
    void SetDate(std::optional<DateTime> date);
    void SetDate(lembrete::Date day) { SetDate(DateTime(day)); }
    void Clear() { SetDate(std::nullopt); }
    // "dd/mm/yyyy", or empty.
    std::string Text() const;

    bool SaveTime() const { return saveTime_; }
    void SetSaveTime(bool saveTime) { saveTime_ = saveTime; }
    const std::array<std::string, 7>& NomeSemana() const { return nomeSemana_; }
    void SetNomeSemana(std::array<std::string, 7> names) { nomeSemana_ = std::move(names); }
    // The weekday name of the date, or empty.
    std::string WeekdayName() const;

    Event<> OnChange;

    // User types a text: an empty text clears, a dd/mm/yyyy date sets the day; anything else
    // is refused (false) and the box keeps its date.
    bool EnterText(std::string_view text);
    // User picks a day on the pop-up calendar.
    void PickDate(lembrete::Date day);

  protected:
    // Called after every change of the date, before OnChange (the data-aware box stores it).
    virtual void dateChanged() {}

  private:
    void userSet(lembrete::Date day);

    std::optional<DateTime> date_;
    bool saveTime_ = false;
    std::array<std::string, 7> nomeSemana_{"Domingo", "Segunda", "Terça", "Quarta",
                                           "Quinta",  "Sexta",   "Sábado"};
};

}  // namespace lembrete
