// ImportKeyRecord: which calendar event a reminder was imported from (server table
// ICALATIVPESSOAL), one row per imported reminder, so that importing the same file again
// updates the reminders instead of adding them twice.
//
// DSCHAVEICAL is the event's UID and, for one occurrence of a repeating event, a space and
// the occurrence's start as the file names it (see CalendarEntry).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/field_layout.h"

namespace lembrete {

struct ImportKeyRecord {
    static constexpr std::string_view kTable = "ICALATIVPESSOAL";
    static constexpr std::string_view DSCHAVEICAL = "DSCHAVEICAL";
    static constexpr int kKeyWidth = 1000;

    // CDOPERADOR, NRATIVPESS, DSCHAVEICAL.
    static const std::vector<FieldLayout>& layout();
    static std::vector<FieldDef> fields();

    static std::string key(std::string_view uid, std::string_view occurrence);
    // The UID and the occurrence back from a key: the occurrence is the last word when that
    // is an iCalendar date or date-time ("20260310", "20260310T120000", "...Z").
    struct Origin {
        std::string uid;
        std::string occurrence;
    };
    static Origin origin(std::string_view key);
};

}  // namespace lembrete
