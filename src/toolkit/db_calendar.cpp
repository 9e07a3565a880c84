#include "toolkit/db_calendar.h"

#include <algorithm>
#include <stdexcept>

namespace lembrete {
namespace {

// The real date nearest to the parts: the day brought back to the month's last day.
lembrete::Date clampedDate(DateParts parts) {
    const int last = daysInMonth(parts.year, parts.month);
    parts.day = static_cast<std::uint16_t>(std::min<int>(parts.day, last));
    return lembrete::Date::fromParts(parts);
}

void checkElement(int element, int value) {
    static constexpr int kMaximum[] = {9999, 12, 31};
    if (element < 1 || element > 3) {
        throw std::out_of_range("elemento de data fora de 1..3: " + std::to_string(element));
    }
    if (value < 1 || value > kMaximum[element - 1]) {
        throw std::out_of_range("valor fora do intervalo para o elemento " +
                                std::to_string(element) + ": " + std::to_string(value));
    }
}

}  // namespace

TDBCalendar::TDBCalendar(TForm* owner, std::string name)
    : Component(owner, std::move(name)), link_([this](DataChange change) {
          if (change == DataChange::DataSetChanged || change == DataChange::RecordChanged) {
              reloadMarks();
          }
      }) {}

lembrete::Date TDBCalendar::GetDate() const {
    return date_;
}

std::uint16_t TDBCalendar::GetDateElement(int element) const {
    checkElement(element, 1);
    const DateParts parts = date_.parts();
    return element == 1 ? parts.year : element == 2 ? parts.month : parts.day;
}

void TDBCalendar::SetDateElement(int element, int value) {
    checkElement(element, value);
    DateParts parts = date_.parts();
    const auto part = static_cast<std::uint16_t>(value);
    (element == 1 ? parts.year : element == 2 ? parts.month : parts.day) = part;
    apply(clampedDate(parts));
}

void TDBCalendar::SetDate(lembrete::Date day) {
    apply(day);
}

void TDBCalendar::apply(lembrete::Date day) {
    if (update(date_, day, Property::Date)) {
        OnChange.fire();
    }
}

void TDBCalendar::SetStartOfWeek(int day) {
    if (day < 0 || day > 6) {
        throw std::out_of_range(Name() + ": início da semana fora de 0..6");
    }
    startOfWeek_ = day;
}

void TDBCalendar::SetDataField(std::string field) {
    dataField_ = std::move(field);
    changed(Property::Data);
    reloadMarks();
}

lembrete::DayRange TDBCalendar::ShownDays() const {
    const lembrete::Date first = date_.addDays(1 - date_.day());
    const int intoWeek = (first.weekday() - 1 - startOfWeek_ + 7) % 7;
    const lembrete::Date firstWeek = first.addDays(-intoWeek);
    return {firstWeek.addDays(-7), firstWeek.addDays(6 * 7 - 1)};
}

void TDBCalendar::reloadMarks() {
    std::set<lembrete::Date> marks;
    if (link_.Active()) {
        const ClientDataSet& dataSet = *link_.DataSet();
        const int field = dataSet.FieldIndex(dataField_);
        for (int row = 0; field >= 0 && row < dataSet.RecordCount(); ++row) {
            const Variant& value = dataSet.RowAt(row).at(static_cast<std::size_t>(field));
            if (value.kind() == VariantKind::DateTime) {
                marks.insert(value.asDateTime().date());
            } else if (value.kind() == VariantKind::String) {
                if (const auto day = DateTime::parse(value.asString())) {
                    marks.insert(day->date());
                }
            }
        }
    }
    update(marks_, std::move(marks), Property::Marks);
}

void TDBCalendar::SelectDate(lembrete::Date day) {
    if (Interactive()) {
        userAction([&] { SetDate(day); });
    }
}

}  // namespace lembrete
