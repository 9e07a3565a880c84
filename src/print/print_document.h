// PrintDocument: what a printout puts on paper, independent of any printer: a title, lines
// under it (the day or range, the filters), the column titles, and the rows grouped in
// sections (one per day in a listing, one untitled section for the list as shown). A row may
// carry a description (rich text as the editor stores it) printed under it when the user
// keeps descriptions.
//
// Every screen that prints (the agenda's list, its listing by day, the week and month views)
// builds one of these and hands it to the host's PrintPreview; the host lays it out on pages.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/date.h"

namespace lembrete {

struct PrintColumn {
    std::string title;
    bool alignRight = false;
};

struct PrintRow {
    std::vector<std::string> cells;
    std::string description;
};

struct PrintSection {
    std::string heading;  // empty: no heading line
    std::vector<PrintRow> rows;
};

struct PrintDocument {
    std::string title;
    std::vector<std::string> lines;
    std::vector<PrintColumn> columns;
    std::vector<PrintSection> sections;

    bool HasDescriptions() const;
    int RowCount() const;
};

// A row and the day it belongs to, for GroupByDay.
struct DatedRow {
    Date day;
    PrintRow row;
};

// One section per day, in date order, headed with `heading` of its day; rows keep their order
// within a day.
std::vector<PrintSection> GroupByDay(std::vector<DatedRow> rows,
                                     const std::function<std::string(Date)>& heading);

}  // namespace lembrete
