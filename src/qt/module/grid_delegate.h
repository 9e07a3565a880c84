// GridDelegate: paints each cell of a bound grid from the headless grid's paint description
// (TDBGrid::PaintCell): fills, pictures of the form's TImage components (Qt resources named
// after their Picture, with the transparent colour masked out) and texts, in order, at the
// offsets described. The selected row is tinted over the painted cell.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace lembrete {

class GridModel;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    GridDelegate(GridModel& model, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The picture of the form's image component `imageName`, as painted (16 x 16).
    QPixmap picture(const std::string& imageName, int transparent) const;

  private:
    GridModel& model_;
    mutable QHash<QString, QPixmap> pictures_;
};

}  // namespace lembrete
