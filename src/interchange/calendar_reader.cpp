#include "interchange/calendar_reader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "data/reminder_record.h"
#include "data/supported_dates.h"
#include "data/utf8.h"
#include "interchange/calendar_properties.h"
#include "interchange/field_mapping.h"
#include "interchange/ical_handle.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t extra = byte < 0x80           ? 0
                                  : (byte >> 5) == 0x6  ? 1
                                  : (byte >> 4) == 0xE  ? 2
                                  : (byte >> 3) == 0x1E ? 3
                                                        : 4;
        if (extra == 4 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// Refuses, before libical sees it, what is not an iCalendar text at all.
void checkFile(std::string_view text) {
    CalendarReader::checkSize(text.size());
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        throw CalendarFileError("O arquivo está vazio. Nada foi importado.");
    }
    if (text.find('\0') != std::string_view::npos || !isValidUtf8(text)) {
        throw CalendarFileError(
            "O arquivo não é um texto iCalendar (.ics): parece ser um arquivo binário. Nada foi "
            "importado.");
    }
    if (!upper(text.substr(first, 15)).starts_with("BEGIN:VCALENDAR")) {
        throw CalendarFileError(
            "O arquivo não é um calendário iCalendar (.ics): ele deve começar com "
            "BEGIN:VCALENDAR. Nada foi importado.");
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    const auto tail = upper(text.substr(last + 1 >= 13 ? last + 1 - 13 : 0, 13));
    if (tail != "END:VCALENDAR") {
        throw CalendarFileError(
            "O arquivo iCalendar está incompleto ou corrompido: falta o END:VCALENDAR final. "
            "Nada foi importado.");
    }
}

std::string textOf(const char* text) {
    return text ? std::string(text) : std::string();
}

std::string trimmed(std::string text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

icalproperty* extension(icalcomponent* component, std::string_view name) {
    for (icalproperty* property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY);
         property; property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        if (utf8::equalIgnoringCase(textOf(icalproperty_get_x_name(property)), name)) {
            return property;
        }
    }
    return nullptr;
}

std::string tzidOf(icalproperty* property) {
    icalparameter* tzid =
        property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    return tzid ? textOf(icalparameter_get_tzid(tzid)) : std::string();
}

// The start of `component` (a to-do without DTSTART: its DUE), with its zone found in the
// file or, failing that, among the zones libical knows by location.
struct Start {
    icaltimetype time = icaltime_null_time();
    std::string unknownZone;
};

Start startOf(icalcomponent* component) {
    const bool todo = icalcomponent_isa(component) == ICAL_VTODO_COMPONENT;
    icalproperty* property = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    if (!property && todo) {
        property = icalcomponent_get_first_property(component, ICAL_DUE_PROPERTY);
    }
    Start start;
    if (!property) {
        return start;
    }
    start.time = icalproperty_isa(property) == ICAL_DTSTART_PROPERTY
                     ? icalcomponent_get_dtstart(component)
                     : icalcomponent_get_due(component);
    const std::string tzid = tzidOf(property);
    if (!tzid.empty() && !start.time.zone && !icaltime_is_utc(start.time)) {
        if (icaltimezone* zone = ical::zone(tzid)) {
            start.time = icaltime_set_timezone(&start.time, zone);
        } else {
            start.unknownZone = tzid;
        }
    }
    return start;
}

// Instants compared across zones: seconds since the epoch, floating and all-day times as
// if they were UTC.
long long instantOf(icaltimetype time) {
    return time.zone && !time.is_date ? icaltime_as_timet_with_zone(time, time.zone)
                                      : icaltime_as_timet(time);
}

// The name of an occurrence: its start in UTC (floating and all-day as they are).
std::string occurrenceName(icaltimetype time) {
    if (time.zone && !time.is_date && !icaltime_is_utc(time)) {
        time = icaltime_convert_to_zone(time, icaltimezone_get_utc_timezone());
    }
    char* text = icaltime_as_ical_string_r(time);
    std::string result = textOf(text);
    icalmemory_free_buffer(text);
    return result;
}

DateTime localOf(icaltimetype time, icaltimezone* local) {
    if (!time.is_date && local && (time.zone || icaltime_is_utc(time))) {
        time = icaltime_convert_to_zone(time, local);
    }
    DateParts parts{static_cast<std::uint16_t>(time.year), static_cast<std::uint16_t>(time.month),
                    static_cast<std::uint16_t>(time.day)};
    return time.is_date ? DateTime::fromParts(parts)
                        : DateTime::fromParts(parts, time.hour, time.minute, time.second);
}

bool isSupported(const DateTime& time) {
    return time.date() >= kFirstSupportedDate && time.date() <= kLastSupportedDate;
}

std::string shownDate(const DateTime& time) {
    return time.timeOfDay().count() == 0 ? time.date().format() : time.format().substr(0, 16);
}

field_mapping::Lead leadOf(icaldurationtype before) {
    if (!before.is_neg) {
        return field_mapping::leadFromSecondsBefore(0);
    }
    const int days = static_cast<int>(before.weeks * 7 + before.days);
    const auto only = [](int count, std::string_view unit) -> std::optional<field_mapping::Lead> {
        if (count >= R::kMinLead && count <= R::kMaxLead) {
            return field_mapping::Lead{count, std::string(unit)};
        }
        return std::nullopt;
    };
    std::optional<field_mapping::Lead> exact;
    if (before.hours == 0 && before.minutes == 0 && before.seconds == 0) {
        exact = only(days, R::kUnitDays);
    } else if (days == 0 && before.minutes == 0 && before.seconds == 0) {
        exact = only(static_cast<int>(before.hours), R::kUnitHours);
    } else if (days == 0 && before.hours == 0 && before.seconds == 0) {
        exact = only(static_cast<int>(before.minutes), R::kUnitMinutes);
    }
    return exact ? *exact : field_mapping::leadFromSecondsBefore(-icaldurationtype_as_int(before));
}

// The lead of the first alarm with a trigger, if any.
std::optional<field_mapping::Lead> alarmOf(icalcomponent* component, icaltimetype start) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(component, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(component, ICAL_VALARM_COMPONENT)) {
        icalproperty* property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!property) {
            continue;
        }
        const icaltriggertype trigger = icalproperty_get_trigger(property);
        if (!icaltime_is_null_time(trigger.time)) {
            return field_mapping::leadFromSecondsBefore(instantOf(start) - instantOf(trigger.time));
        }
        return leadOf(trigger.duration);
    }
    return std::nullopt;
}

bool isDone(icalcomponent* component) {
    if (icalproperty* state = extension(component, calendar_properties::kState)) {
        return textOf(icalproperty_get_x(state)) == R::kDone;
    }
    return icalcomponent_get_status(component) == ICAL_STATUS_COMPLETED ||
           icalcomponent_get_first_property(component, ICAL_COMPLETED_PROPERTY) != nullptr;
}

std::string priorityOf(icalcomponent* component) {
    if (icalproperty* exact = extension(component, calendar_properties::kExactPriority)) {
        const std::string text = trimmed(textOf(icalproperty_get_x(exact)));
        if (R::isStoredPriority(text)) {
            return text;
        }
    }
    icalproperty* priority = icalcomponent_get_first_property(component, ICAL_PRIORITY_PROPERTY);
    return priority ? field_mapping::fromCalendarPriority(icalproperty_get_priority(priority))
                    : std::string();
}

std::string descriptionOf(icalcomponent* component) {
    if (icalproperty* html = extension(component, calendar_properties::kAltDescription)) {
        icalparameter* type = icalproperty_get_first_parameter(html, ICAL_FMTTYPE_PARAMETER);
        if (type && utf8::equalIgnoringCase(textOf(icalparameter_get_fmttype(type)), "text/html")) {
            return textOf(icalproperty_get_x(html));
        }
    }
    return textOf(icalcomponent_get_description(component));
}

std::string seriesOf(icalcomponent* component, bool repeats, const std::string& uid) {
    icalproperty* related = icalcomponent_get_first_property(component, ICAL_RELATEDTO_PROPERTY);
    if (related) {
        return textOf(icalproperty_get_relatedto(related));
    }
    return repeats ? uid : std::string();
}

class Expander {
  public:
    Expander(icaltimezone* local, CalendarContents& contents)
        : local_(local), contents_(contents) {}

    // The RECURRENCE-IDs of every UID, read before any event is expanded.
    void noteOverride(icalcomponent* component) {
        icalproperty* id = icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY);
        if (id) {
            overrides_[textOf(icalcomponent_get_uid(component))].insert(
                instantOf(icalcomponent_get_recurrenceid(component)));
        }
    }

    void add(icalcomponent* component) {
        const std::string uid = textOf(icalcomponent_get_uid(component));
        std::string summary = trimmed(textOf(icalcomponent_get_summary(component)));
        if (summary.empty()) {
            summary = "(sem título)";
        }
        const Start start = startOf(component);
        if (!start.unknownZone.empty()) {
            refuse(summary, "o fuso horário " + start.unknownZone + " é desconhecido", 1);
            return;
        }
        if (icaltime_is_null_time(start.time) || !icaltime_is_valid_time(start.time)) {
            refuse(summary, "não tem data de início válida", 1);
            return;
        }
        if (icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED) {
            refuse(summary + " (" + shownDate(localOf(start.time, local_)) + ")", "foi cancelado",
                   1);
            return;
        }
        CalendarEntry entry;
        entry.uid = uid;
        entry.reference = summary;
        entry.done = isDone(component);
        entry.priority = priorityOf(component);
        entry.description = descriptionOf(component);
        if (icalproperty* rule = extension(component, calendar_properties::kSeriesRule)) {
            entry.rule = textOf(icalproperty_get_x(rule));
        }
        if (const auto lead = alarmOf(component, start.time); lead && !entry.done) {
            entry.alarm = true;
            entry.lead = lead->count;
            entry.unit = lead->unit;
        } else {
            entry.unit = R::kUnitAtEvent;
        }
        const bool isOverride =
            icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        if (isOverride) {
            entry.series = seriesOf(component, true, uid);
            entry.occurrence = occurrenceName(icalcomponent_get_recurrenceid(component));
            place(std::move(entry), start.time);
            refuseOutside(summary);
            return;
        }
        const std::vector<icaltimetype> instances = instancesOf(component, start.time, summary);
        const bool repeats = instances.size() != 1 || hasRecurrence(component);
        entry.series = seriesOf(component, repeats, uid);
        const auto& skipped = overrides_[uid];
        for (const auto& instance : instances) {
            if (skipped.count(instantOf(instance))) {
                continue;
            }
            CalendarEntry occurrence = entry;
            if (repeats) {
                occurrence.occurrence = occurrenceName(instance);
            }
            place(std::move(occurrence), instance);
        }
        refuseOutside(summary);
    }

  private:
    static bool hasRecurrence(icalcomponent* component) {
        return icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY) ||
               icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY);
    }

    void refuse(std::string event, std::string reason, int count) {
        contents_.refused.push_back({std::move(event), std::move(reason), count});
        budget(count);
    }

    void budget(std::size_t count) {
        produced_ += count;
        if (produced_ > CalendarReader::kMaxEntries) {
            throw CalendarFileError(
                "O arquivo gera mais de " + std::to_string(CalendarReader::kMaxEntries) +
                " lembretes; divida-o em arquivos menores. Nada foi importado.");
        }
    }

    // Keeps the entry, or counts it as outside the supported dates.
    void place(CalendarEntry entry, icaltimetype instance) {
        entry.start = localOf(instance, local_);
        budget(1);
        if (!isSupported(entry.start)) {
            ++outside_;
            return;
        }
        contents_.entries.push_back(std::move(entry));
    }

    // One refusal per event for its occurrences outside the supported dates.
    void refuseOutside(const std::string& summary) {
        if (outside_ > 0) {
            contents_.refused.push_back({summary,
                                         "data fora do período aceito (" +
                                             kFirstSupportedDate.format() + " a " +
                                             kLastSupportedDate.format() + ")",
                                         outside_});
            outside_ = 0;
        }
    }

    // Instances in the event's own zone, sorted, without repeats or excluded dates.
    std::vector<icaltimetype> instancesOf(icalcomponent* component, icaltimetype start,
                                          const std::string& summary) {
        std::map<long long, icaltimetype> instances;
        instances.emplace(instantOf(start), start);
        const Date startDay = localOf(start, nullptr).date();
        for (icalproperty* property =
                 icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY);
             property; property = icalcomponent_get_next_property(component, ICAL_RRULE_PROPERTY)) {
            expandRule(icalproperty_get_rrule(property), start, startDay, summary, instances);
        }
        for (icalproperty* property =
                 icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY);
             property; property = icalcomponent_get_next_property(component, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(property);
            icaltimetype time = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
            instances.emplace(instantOf(inZoneOf(time, start)), inZoneOf(time, start));
        }
        std::set<long long> excluded;
        std::set<std::tuple<int, int, int>> excludedDays;
        for (icalproperty* property =
                 icalcomponent_get_first_property(component, ICAL_EXDATE_PROPERTY);
             property;
             property = icalcomponent_get_next_property(component, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype time = inZoneOf(icalproperty_get_exdate(property), start);
            if (time.is_date) {
                excludedDays.emplace(time.year, time.month, time.day);
            } else {
                excluded.insert(instantOf(time));
            }
        }
        std::vector<icaltimetype> result;
        for (const auto& [instant, time] : instances) {
            if (!excluded.count(instant) &&
                !excludedDays.count({time.year, time.month, time.day})) {
                result.push_back(time);
            }
        }
        return result;
    }

    // A time the file gives without a zone of its own takes the start's.
    static icaltimetype inZoneOf(icaltimetype time, icaltimetype start) {
        if (!icaltime_is_utc(time) && !time.zone && start.zone) {
            time = icaltime_set_timezone(&time, start.zone);
        }
        return time;
    }

    void expandRule(icalrecurrencetype rule, icaltimetype start, Date startDay,
                    const std::string& summary, std::map<long long, icaltimetype>& instances) {
        const bool open = rule.count == 0 && icaltime_is_null_time(rule.until);
        const Date last =
            open ? std::min(openSeriesEnd(startDay), kLastSupportedDate) : kLastSupportedDate;
        const ical::RecurIterator iterator(icalrecur_iterator_new(rule, start));
        if (!iterator) {
            refuse(summary, "tem uma regra de repetição (RRULE) inválida", 1);
            return;
        }
        for (icaltimetype time = icalrecur_iterator_next(iterator.get());
             !icaltime_is_null_time(time); time = icalrecur_iterator_next(iterator.get())) {
            time = inZoneOf(time, start);
            if (localOf(time, nullptr).date() > last) {
                if (!open) {
                    refuseBeyondLastDate(iterator.get(), summary);
                }
                return;
            }
            instances.emplace(instantOf(time), time);
            budget(1);
        }
    }

    // A bounded rule that goes on past the supported dates: one refusal with the number of
    // occurrences lost (the one just read and those after it), counted within the file's
    // budget so that a rule of millions of occurrences stops the import instead of the count.
    void refuseBeyondLastDate(icalrecur_iterator* iterator, const std::string& summary) {
        int lost = 1;
        while (!icaltime_is_null_time(icalrecur_iterator_next(iterator))) {
            ++lost;
            budget(1);
        }
        contents_.refused.push_back({summary,
                                     "repete-se depois de " + kLastSupportedDate.format() +
                                         "; essas ocorrências não serão importadas",
                                     lost});
        budget(1);
    }

    icaltimezone* local_;
    CalendarContents& contents_;
    std::map<std::string, std::set<long long>> overrides_;
    std::size_t produced_ = 0;
    int outside_ = 0;
};

}  // namespace

void CalendarReader::checkSize(std::uintmax_t bytes) {
    if (bytes > kMaxFileBytes) {
        throw CalendarFileError("O arquivo tem " + std::to_string(bytes >> 20) +
                                " MB; o limite para importar é de " +
                                std::to_string(kMaxFileBytes >> 20) +
                                " MB. Divida-o em arquivos menores. Nada foi importado.");
    }
}

CalendarContents CalendarReader::read(std::string_view text) const {
    checkFile(text);
    const std::string terminated(text);
    const ical::Component root(icalparser_parse_string(terminated.c_str()));
    std::vector<icalcomponent*> calendars;
    if (root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else if (root && icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* calendar =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             calendar;
             calendar = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            calendars.push_back(calendar);
        }
    }
    if (calendars.empty()) {
        throw CalendarFileError(
            "O arquivo iCalendar está corrompido e não pôde ser lido. Nada foi importado.");
    }
    std::vector<icalcomponent*> items;
    for (icalcomponent* calendar : calendars) {
        for (const auto kind : {ICAL_VEVENT_COMPONENT, ICAL_VTODO_COMPONENT}) {
            for (icalcomponent* item = icalcomponent_get_first_component(calendar, kind); item;
                 item = icalcomponent_get_next_component(calendar, kind)) {
                items.push_back(item);
            }
        }
    }
    if (items.empty()) {
        throw CalendarFileError(
            "O arquivo não traz eventos (VEVENT) nem tarefas (VTODO) para importar.");
    }
    CalendarContents contents;
    Expander expander(ical::zone(zoneName_), contents);
    for (icalcomponent* item : items) {
        expander.noteOverride(item);
    }
    for (icalcomponent* item : items) {
        expander.add(item);
    }
    std::sort(contents.entries.begin(), contents.entries.end(),
              [](const CalendarEntry& a, const CalendarEntry& b) {
                  return std::tie(a.start, a.uid, a.occurrence) <
                         std::tie(b.start, b.uid, b.occurrence);
              });
    for (std::size_t i = 0; i < contents.entries.size(); ++i) {
        if (utf8::length(contents.entries[i].reference) >
            static_cast<std::size_t>(R::kReferenceWidth)) {
            contents.longReferences.push_back(i);
        }
    }
    return contents;
}

}  // namespace lembrete
