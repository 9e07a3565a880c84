// Owning handles for libical objects, and the zone set-up every user of libical here shares.
#pragma once

#include <libical/ical.h>

#include <memory>
#include <string>

namespace lembrete::ical {

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

struct RecurIteratorFree {
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};
using RecurIterator = std::unique_ptr<icalrecur_iterator, RecurIteratorFree>;

// The text of `component`, taken out of libical's buffer.
std::string text(icalcomponent* component);

// The zone named `location` ("America/Sao_Paulo", "UTC"), or nullptr when libical does not
// know it.
icaltimezone* zone(const std::string& location);

// A VTIMEZONE of `zone` whose TZID is `location` alone (libical's own TZIDs carry a
// vendor prefix that other programs need not know). The caller owns it.
icalcomponent* zoneDefinition(icaltimezone* zone, const std::string& location);

}  // namespace lembrete::ical
