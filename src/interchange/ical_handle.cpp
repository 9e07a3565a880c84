#include "interchange/ical_handle.h"

namespace lembrete::ical {

std::string text(icalcomponent* component) {
    char* buffer = icalcomponent_as_ical_string_r(component);
    std::string result = buffer ? buffer : "";
    icalmemory_free_buffer(buffer);
    return result;
}

icaltimezone* zone(const std::string& location) {
    if (location == "UTC" || location == "Etc/UTC") {
        return icaltimezone_get_utc_timezone();
    }
    return icaltimezone_get_builtin_timezone(location.c_str());
}

}  // namespace lembrete::ical

namespace lembrete::ical {

icalcomponent* zoneDefinition(icaltimezone* zone, const std::string& location) {
    icalcomponent* definition = icalcomponent_new_clone(icaltimezone_get_component(zone));
    icalproperty* tzid = icalcomponent_get_first_property(definition, ICAL_TZID_PROPERTY);
    icalproperty_set_tzid(tzid, location.c_str());
    return definition;
}

}  // namespace lembrete::ical
