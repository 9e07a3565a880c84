#include "qt/module/grid_model.h"

#include "qt/module/qt_convert.h"
#include "toolkit/db_grid.h"

namespace lembrete {
namespace {

Qt::Alignment toQt(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case Alignment::Center:
            return Qt::AlignCenter;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

GridModel::GridModel(TDBGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(&grid) {}

void GridModel::reset() {
    beginResetModel();
    endResetModel();
}

void GridModel::release() {
    beginResetModel();
    grid_ = nullptr;
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return grid_ == nullptr || parent.isValid() ? 0 : grid_->RowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return grid_ == nullptr || parent.isValid() ? 0 : static_cast<int>(grid_->Columns().size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (grid_ == nullptr || !index.isValid() || index.row() >= grid_->RowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return toQString(grid_->CellText(index.row(), index.column()));
    }
    if (role == Qt::ToolTipRole) {
        const std::string hint = grid_->CellHint(index.row());
        return hint.empty() ? QVariant() : QVariant(toQString(hint));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            toQt(grid_->Columns().at(static_cast<std::size_t>(index.column())).Align));
    }
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (grid_ == nullptr || orientation != Qt::Horizontal || role != Qt::DisplayRole ||
        section >= static_cast<int>(grid_->Columns().size())) {
        return {};
    }
    return toQString(grid_->Columns().at(static_cast<std::size_t>(section)).Title);
}

}  // namespace lembrete
