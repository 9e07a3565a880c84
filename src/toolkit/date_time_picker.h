// TDateTimePicker: a time box (the editor's dtpHora) or a date box. Holds a date-time; in
// time kind only its time of day is shown and edited. OnChange fires on every change.
#pragma once

#include <chrono>
#include <string>

#include "data/date.h"
#include "toolkit/component.h"

namespace lembrete {

enum TDateTimeKind { dtkDate, dtkTime };

class TDateTimePicker : public Component {
  public:
    using Component::Component;

    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind kind) { kind_ = kind; }

    const DateTime& GetDateTime() const { return value_; }
    void SetDateTime(DateTime value);
    std::chrono::milliseconds Time() const { return value_.timeOfDay(); }
    // Throws std::invalid_argument outside 0..24h.
    void SetTime(std::chrono::milliseconds timeOfDay);
    // "HH:MM:SS" in time kind, "dd/mm/yyyy" in date kind.
    std::string Text() const;

    Event<> OnChange;

    // User enters "HH:MM" or "HH:MM:SS" (time kind) or "dd/mm/yyyy" (date kind); anything
    // else is refused (false).
    bool EnterText(std::string_view text);

  private:
    TDateTimeKind kind_ = dtkTime;
    DateTime value_;
};

}  // namespace lembrete
