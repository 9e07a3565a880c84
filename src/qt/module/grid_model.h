// GridModel: a table model over a headless data grid (TDBGrid): its rows are the grid's
// dataset rows, its columns the grid's columns (titles, alignments). It never moves the
// dataset's cursor. The binder calls reset() when the grid reports new rows or columns, and
// release() when the form goes, after which the model is empty and never touches the grid.
#pragma once

#include <QAbstractTableModel>

namespace lembrete {

class TDBGrid;

class GridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    GridModel(TDBGrid& grid, QObject* parent);

    TDBGrid* grid() const { return grid_; }
    void reset();
    void release();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    TDBGrid* grid_;
};

}  // namespace lembrete
