// TDBSortGrid: a data grid whose column titles sort its rows (the agenda's dbsAFazer).
//
// A click on a title orders the rows by that column's field, ascending; a click on the title
// they are ordered by turns the order round, and the next one back again. The order is the
// dataset's (ClientDataSet::SetOrder), not the grid's: every reload of the dataset keeps it,
// the cursor and the selected rows stay on their rows, and whatever reads the dataset's rows
// (printing, the actions on the selected rows) sees them as the grid shows them. Until a title
// is clicked the rows keep the order they were loaded in.
#pragma once

#include "toolkit/db_grid.h"

namespace lembrete {

class TDBSortGrid : public TDBGrid {
  public:
    using TDBGrid::TDBGrid;

    // The column the rows are ordered by; -1 when none is (no title clicked yet, or the order's
    // field is no column's).
    int SortColumn() const;
    bool SortDescending() const;

    // User action: a click on the title of `column`. Throws std::out_of_range outside the
    // columns.
    void ClickTitle(int column);
};

}  // namespace lembrete
