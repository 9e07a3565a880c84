#include "toolkit/db_sort_grid.h"

#include "data/client_data_set.h"

namespace lembrete {

int TDBSortGrid::SortColumn() const {
    const ClientDataSet* dataSet = DataSet();
    return dataSet != nullptr && dataSet->Order() ? ColumnIndex(dataSet->Order()->field) : -1;
}

bool TDBSortGrid::SortDescending() const {
    return SortColumn() >= 0 && DataSet()->Order()->descending;
}

void TDBSortGrid::ClickTitle(int index) {
    if (!Interactive()) {
        return;
    }
    const TColumn& clicked = column(index);
    userAction([&] {
        const bool turnRound = SortColumn() == index && !SortDescending();
        orderRows(RowOrder{clicked.FieldName, turnRound});
        changed(Property::Order);
    });
}

}  // namespace lembrete
