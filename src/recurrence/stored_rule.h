// StoredRule: the rule of a series as the server keeps it (SeriesRecord), the RecurrenceRule
// plus the series' start, read from and written to the current row of a dataset laid out as
// SeriesRecord.
#pragma once

#include <optional>
#include <string>

#include "data/client_data_set.h"
#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

struct StoredRule {
    RecurrenceRule rule;
    DateTime start;  // first day of the series and the time of its occurrences

    friend bool operator==(const StoredRule&, const StoredRule&) = default;
};

// The rule in the current row of `rules`; nullopt when it holds none or one this client cannot
// read (a kind or an interval out of its range).
std::optional<StoredRule> readStoredRule(ClientDataSet& rules);

// Fills the current row of `rules` (in edit or insert state) with `stored` for series
// `seriesNumber` of `operatorCode`.
void writeStoredRule(ClientDataSet& rules, const StoredRule& stored,
                     const std::string& operatorCode, const std::string& seriesNumber);

}  // namespace lembrete
