#include "print/print_document.h"

#include <algorithm>
#include <numeric>

namespace lembrete {

bool PrintDocument::HasDescriptions() const {
    return std::any_of(sections.begin(), sections.end(), [](const PrintSection& section) {
        return std::any_of(section.rows.begin(), section.rows.end(),
                           [](const PrintRow& row) { return !row.description.empty(); });
    });
}

int PrintDocument::RowCount() const {
    return std::accumulate(sections.begin(), sections.end(), 0,
                           [](int count, const PrintSection& section) {
                               return count + static_cast<int>(section.rows.size());
                           });
}

std::vector<PrintSection> GroupByDay(std::vector<DatedRow> rows,
                                     const std::function<std::string(Date)>& heading) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const DatedRow& a, const DatedRow& b) { return a.day < b.day; });
    std::vector<PrintSection> sections;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        if (at == 0 || rows[at].day != rows[at - 1].day) {
            sections.push_back(PrintSection{heading(rows[at].day), {}});
        }
        sections.back().rows.push_back(std::move(rows[at].row));
    }
    return sections;
}

}  // namespace lembrete
