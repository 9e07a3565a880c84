#include "toolkit/date_edit.h"

namespace lembrete {

void TDateEdit::SetDate(std::optional<DateTime> date) {
    if (date && !saveTime_) {
        date = DateTime(date->date());
    }
    if (date_ == date) {
        return;
    }
    date_ = date;
    changed(Property::Date);
    dateChanged();
    OnChange.fire();
}

std::string TDateEdit::Text() const {
    return date_ ? date_->date().format() : std::string();
}

std::string TDateEdit::WeekdayName() const {
    return date_ ? nomeSemana_[static_cast<std::size_t>(date_->date().weekday() - 1)]
                 : std::string();
}

void TDateEdit::userSet(lembrete::Date day) {
    const DateTime when = date_ ? date_->withDate(day) : DateTime(day);
    userAction([&] { SetDate(when); });
}

bool TDateEdit::EnterText(std::string_view text) {
    if (!Interactive()) {
        return false;
    }
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        userAction([this] { Clear(); });
        return true;
    }
    const auto day = lembrete::Date::parse(text);
    if (!day) {
        return false;
    }
    userSet(*day);
    return true;
}

void TDateEdit::PickDate(lembrete::Date day) {
    if (Interactive()) {
        userSet(day);
    }
}

}  // namespace lembrete
