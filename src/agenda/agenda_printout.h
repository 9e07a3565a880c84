// The agenda's printouts as documents (print/print_document.h): "Imprimir" prints the list as
// the grid shows it, each reminder with its description; "Listagem" prints a range of days,
// grouped by day. Both state the operator, the days and the filters under the title, and use
// the grid's columns with a done mark.
#pragma once

#include <functional>
#include <string>

#include "data/client_data_set.h"
#include "data/reminder_gateway.h"
#include "print/print_document.h"

namespace lembrete {

// The description of reminder `number` (rich text; empty when it has none).
using DescriptionOf = std::function<std::string(const std::string& number)>;

// The rows of `list` (ReminderRecord) in their order, under the filter they were read with.
PrintDocument ListPrintout(const ClientDataSet& list, const ReminderFilter& filter,
                           const DescriptionOf& description);
// The rows of `list` read for `days`, one section per day.
PrintDocument ListingPrintout(const ClientDataSet& list, const ReminderFilter& filter,
                              DayRange days);

// "Quarta, 11/03/2026".
std::string DayHeading(Date day);

}  // namespace lembrete
