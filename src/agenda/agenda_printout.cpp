#include "agenda/agenda_printout.h"

#include "data/reminder_record.h"
#include "shell/calendar_names.h"
#include "toolkit/grid_row.h"

namespace lembrete {
namespace {

std::vector<PrintColumn> columns() {
    return {{"Ok", false},
            {"Prioridade", true},
            {"Horário", false},
            {"Data", false},
            {"Referência", false}};
}

PrintRow rowOf(const GridRow& row) {
    const bool done = row.Text(ReminderRecord::IDSITUATPESS) == "R";
    return PrintRow{{done ? "[X]" : "[ ]", row.Text(ReminderRecord::NRPRIOATPESS),
                     row.Text(ReminderRecord::HORARIO).substr(0, 5),
                     row.Text(ReminderRecord::DTATIVPESS), row.Text(ReminderRecord::DSREFEATPESS)},
                    {}};
}

// The states shown and the reference filter, in words.
void addFilterLines(const ReminderFilter& filter, std::vector<std::string>& lines) {
    const std::string shown = filter.showPending && filter.showDone ? "Pendentes e realizados"
                              : filter.showPending                  ? "Pendentes"
                              : filter.showDone                     ? "Realizados"
                                                                    : "Nenhum";
    lines.push_back("Exibindo: " + shown);
    if (!filter.reference.empty()) {
        lines.push_back("Referência contém: \"" + filter.reference + "\"");
    }
}

}  // namespace

std::string DayHeading(Date day) {
    return NomeDia(day) + ", " + day.format();
}

PrintDocument ListPrintout(const ClientDataSet& list, const ReminderFilter& filter,
                           const DescriptionOf& description) {
    PrintDocument document{"Lembretes", {"Operador: " + filter.operatorCode}, columns(), {}};
    document.lines.push_back(filter.fromDateOn ? "A partir de " + filter.date.format()
                                               : "Dia: " + DayHeading(filter.date));
    addFilterLines(filter, document.lines);
    PrintSection section;
    for (int index = 0; index < list.RecordCount(); ++index) {
        const GridRow row(list, index);
        PrintRow printed = rowOf(row);
        printed.description = description(row.Text(ReminderRecord::NRATIVPESS));
        section.rows.push_back(std::move(printed));
    }
    document.sections.push_back(std::move(section));
    return document;
}

PrintDocument ListingPrintout(const ClientDataSet& list, const ReminderFilter& filter,
                              DayRange days) {
    PrintDocument document{"Listagem de lembretes",
                           {"Operador: " + filter.operatorCode,
                            "De " + days.first.format() + " a " + days.last.format()},
                           columns(),
                           {}};
    addFilterLines(filter, document.lines);
    std::vector<DatedRow> rows;
    for (int index = 0; index < list.RecordCount(); ++index) {
        const GridRow row(list, index);
        rows.push_back(
            DatedRow{row.Value(ReminderRecord::DTATIVPESS).asDateTime().date(), rowOf(row)});
    }
    document.sections = GroupByDay(std::move(rows), DayHeading);
    return document;
}

}  // namespace lembrete
