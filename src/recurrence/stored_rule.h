// StoredRule: the rule of a series as the server keeps it (SeriesRecord), the RecurrenceRule
// plus the series' start, read from and written to the current row of a dataset laid out as
// SeriesRecord.
#pragma once

#include <optional>
#include <string>
#include <vector>

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

// `stored` with every occurrence `days` later (earlier when negative): its start and its end
// date move by as many days, and a weekly rule's weekdays turn with them. Monthly and yearly
// days are placed from the start, so moved dates need not follow the moved rule (a monthly
// rule on the 28th moved by five days: 2 February, then 5 March where it says the 2nd);
// follows() tells.
StoredRule movedBy(const StoredRule& stored, int days);

// Whether every one of `dates` (in date order) is an occurrence of `stored`.
bool follows(const StoredRule& stored, const std::vector<Date>& dates);

}  // namespace lembrete
