#include "support/component_state.h"

#include <vector>

#include "toolkit/check_box.h"
#include "toolkit/combo_box.h"
#include "toolkit/custom_edit.h"
#include "toolkit/date_edit.h"
#include "toolkit/date_time_picker.h"
#include "toolkit/db_calendar.h"
#include "toolkit/menu_item.h"
#include "toolkit/month_calendar.h"
#include "toolkit/page_control.h"
#include "toolkit/radio_button.h"

namespace lembrete::testing {
namespace {

std::vector<std::string> controlState(const Component& component) {
    std::vector<std::string> parts;
    if (auto* edit = dynamic_cast<const TCustomEdit*>(&component); edit && !edit->Text().empty()) {
        parts.push_back("text=" + edit->Text());
    }
    const bool checked = [&] {
        if (auto* box = dynamic_cast<const TCheckBox*>(&component)) {
            return box->Checked();
        }
        if (auto* radio = dynamic_cast<const TRadioButton*>(&component)) {
            return radio->Checked();
        }
        if (auto* item = dynamic_cast<const TMenuItem*>(&component)) {
            return item->Checked();
        }
        return false;
    }();
    if (checked) {
        parts.emplace_back("checked");
    }
    if (auto* combo = dynamic_cast<const TComboBox*>(&component);
        combo && combo->ItemIndex() >= 0) {
        parts.push_back("index=" + std::to_string(combo->ItemIndex()));
    }
    if (auto* date = dynamic_cast<const TDateEdit*>(&component); date && !date->Empty()) {
        parts.push_back("date=" + date->GetDate()->format());
    }
    if (auto* picker = dynamic_cast<const TDateTimePicker*>(&component)) {
        parts.push_back("value=" + picker->Text());
    }
    if (auto* calendar = dynamic_cast<const TDBCalendar*>(&component)) {
        parts.push_back("date=" + calendar->GetDate().format());
        if (!calendar->MarkedDays().empty()) {
            parts.push_back("marks=" + std::to_string(calendar->MarkedDays().size()));
        }
    }
    if (auto* calendar = dynamic_cast<const TMonthCalendar*>(&component)) {
        parts.push_back("date=" + calendar->GetDate().format());
    }
    if (auto* pages = dynamic_cast<const TPageControl*>(&component); pages && pages->ActivePage()) {
        parts.push_back("page=" + pages->ActivePage()->Name());
    }
    return parts;
}

}  // namespace

std::string State(const Component& component) {
    std::vector<std::string> parts;
    if (!component.Visible()) {
        parts.emplace_back("hidden");
    }
    if (!component.Enabled()) {
        parts.emplace_back("disabled");
    }
    if (component.Color() != clDefault) {
        parts.emplace_back(colorName(component.Color()));
    }
    if (!component.Caption().empty()) {
        parts.push_back("'" + component.Caption() + "'");
    }
    for (auto& part : controlState(component)) {
        parts.push_back(std::move(part));
    }
    std::string text = component.Name() + "(";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i > 0 ? " " : "") + parts[i];
    }
    return text + ")";
}

std::string State(const TForm& form, std::initializer_list<std::string_view> names) {
    std::string text;
    for (std::string_view name : names) {
        const Component* component = form.FindComponent(name);
        text += (text.empty() ? "" : " ") +
                (component != nullptr ? State(*component) : std::string(name) + "(missing)");
    }
    return text;
}

}  // namespace lembrete::testing
