// SeriesRecord: the stored rule of a series of reminders (server table SERIEATIVPESSOAL), one row
// per series, keyed by operator and repetition number (NRREPETATIVP, the number its occurrences
// share). It is written in the same transaction as the occurrences, so a series and its rule
// never disagree; a series stored before rules were kept has no row.
//
//   IDTIPOREPET   kind: "D" daily, "S" weekly, "M" monthly, "A" yearly
//   NRINTERREPET  interval, "1" .. "99"
//   IDDIASREPET   seven "S"/"N" flags, Sunday first (weekly)
//   IDMODOMENSAL  "1" by date, "2" by weekday of the month (monthly)
//   DTINICREPET   the series' start: its first day and the time of its occurrences
//   DTTERMREPET   its end date, inclusive; null: no end date ("Sem data de término")
#pragma once

#include <string_view>
#include <vector>

#include "data/field_layout.h"

namespace lembrete {

struct SeriesRecord {
    static constexpr std::string_view kTable = "SERIEATIVPESSOAL";

    static constexpr std::string_view IDTIPOREPET = "IDTIPOREPET";
    static constexpr std::string_view NRINTERREPET = "NRINTERREPET";
    static constexpr std::string_view IDDIASREPET = "IDDIASREPET";
    static constexpr std::string_view IDMODOMENSAL = "IDMODOMENSAL";
    static constexpr std::string_view DTINICREPET = "DTINICREPET";
    static constexpr std::string_view DTTERMREPET = "DTTERMREPET";

    static constexpr int kIntervalWidth = 2;
    static constexpr int kWeekdaysWidth = 7;

    // CDOPERADOR, NRREPETATIVP, then the rule's fields in the order above.
    static const std::vector<FieldLayout>& layout();
    static std::vector<FieldDef> fields();

    static bool isKind(std::string_view code);
    // "1" .. "99", digits only.
    static bool isInterval(std::string_view text);
    // Seven "S"/"N" flags.
    static bool isWeekdays(std::string_view text);
    static bool isMonthlyMode(std::string_view code) { return code == "1" || code == "2"; }
};

}  // namespace lembrete
