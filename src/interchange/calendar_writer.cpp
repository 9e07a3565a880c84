#include "interchange/calendar_writer.h"

#include <stdexcept>

#include "data/reminder_record.h"
#include "interchange/calendar_properties.h"
#include "interchange/field_mapping.h"
#include "interchange/html_text.h"
#include "interchange/ical_handle.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

icaltimetype toIcalTime(const DateTime& value) {
    icaltimetype time = icaltime_null_time();
    const auto parts = value.date().parts();
    time.year = parts.year;
    time.month = parts.month;
    time.day = parts.day;
    time.hour = value.hour();
    time.minute = value.minute();
    time.second = value.second();
    return time;
}

void addExtension(icalcomponent* event, const char* name, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, name);
    icalcomponent_add_property(event, property);
}

icalcomponent* alarmOf(const CalendarEntry& entry) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(entry.reference.c_str()));
    icaldurationtype before = icaldurationtype_null_duration();
    const int count = entry.lead.value_or(0);
    if (entry.unit == R::kUnitDays) {
        before.days = count;
    } else if (entry.unit == R::kUnitHours) {
        before.hours = count;
    } else if (entry.unit == R::kUnitMinutes) {
        before.minutes = count;
    }
    before.is_neg = count > 0 && !entry.unit.empty() ? 1 : 0;
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = before;
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    return alarm;
}

}  // namespace

CalendarWriter::CalendarWriter(const std::string& zoneName, DateTime stampUtc)
    : zoneName_(zoneName), stamp_(stampUtc) {
    if (!ical::zone(zoneName_)) {
        throw std::invalid_argument("Fuso horário desconhecido: " + zoneName_ + ".");
    }
}

std::string CalendarWriter::write(const std::vector<CalendarEntry>& entries) const {
    icaltimezone* zone = ical::zone(zoneName_);
    const bool utc = zone == icaltimezone_get_utc_timezone();
    ical::Component calendar(
        icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                            icalproperty_new_prodid(calendar_properties::kProductId),
                            icalproperty_new_calscale("GREGORIAN"), static_cast<void*>(nullptr)));
    if (!utc) {
        icalcomponent_add_component(calendar.get(), ical::zoneDefinition(zone, zoneName_));
    }
    icaltimetype stamp = toIcalTime(stamp_);
    stamp = icaltime_set_timezone(&stamp, icaltimezone_get_utc_timezone());
    for (const auto& entry : entries) {
        icalcomponent* event = icalcomponent_new_vevent();
        icalcomponent_add_component(calendar.get(), event);
        icalcomponent_add_property(event, icalproperty_new_uid(entry.uid.c_str()));
        if (!entry.occurrence.empty()) {
            // An occurrence of an imported repeating event goes back as that occurrence.
            const icaltimetype occurrence = icaltime_from_string(entry.occurrence.c_str());
            if (!icaltime_is_null_time(occurrence)) {
                icalcomponent_add_property(event, icalproperty_new_recurrenceid(occurrence));
            }
        }
        icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
        icaltimetype start = toIcalTime(entry.start);
        start = icaltime_set_timezone(&start, zone);
        icalproperty* dtstart = icalproperty_new_dtstart(start);
        if (!utc) {
            icalproperty_add_parameter(dtstart, icalparameter_new_tzid(zoneName_.c_str()));
        }
        icalcomponent_add_property(event, dtstart);
        icalcomponent_add_property(event, icalproperty_new_summary(entry.reference.c_str()));
        if (!entry.description.empty()) {
            icalcomponent_add_property(
                event, icalproperty_new_description(plainTextOf(entry.description).c_str()));
            if (isHtml(entry.description)) {
                icalproperty* html = icalproperty_new_x(entry.description.c_str());
                icalproperty_set_x_name(html, calendar_properties::kAltDescription);
                icalproperty_add_parameter(html, icalparameter_new_fmttype("text/html"));
                icalcomponent_add_property(event, html);
            }
        }
        icalcomponent_add_property(
            event, icalproperty_new_priority(field_mapping::toCalendarPriority(entry.priority)));
        if (!entry.priority.empty()) {
            addExtension(event, calendar_properties::kExactPriority, entry.priority);
        }
        icalcomponent_add_property(event, icalproperty_new_status(ICAL_STATUS_CONFIRMED));
        addExtension(event, calendar_properties::kState,
                     std::string(entry.done ? R::kDone : R::kPending));
        if (!entry.series.empty()) {
            icalproperty* related = icalproperty_new_relatedto(entry.series.c_str());
            icalproperty_add_parameter(related, icalparameter_new_reltype(ICAL_RELTYPE_SIBLING));
            icalcomponent_add_property(event, related);
        }
        if (!entry.rule.empty()) {
            addExtension(event, calendar_properties::kSeriesRule, entry.rule);
        }
        if (entry.alarm) {
            icalcomponent_add_component(event, alarmOf(entry));
        }
    }
    return ical::text(calendar.get());
}

}  // namespace lembrete
