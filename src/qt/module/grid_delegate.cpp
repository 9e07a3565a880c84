#include "qt/module/grid_delegate.h"

#include <QBitmap>
#include <QPainter>

#include "qt/module/grid_model.h"
#include "qt/module/qt_convert.h"
#include "toolkit/db_grid.h"
#include "toolkit/form.h"
#include "toolkit/image.h"

namespace lembrete {
namespace {

const QString kPicturePrefix = QStringLiteral(":/lembrete/images/");

}  // namespace

GridDelegate::GridDelegate(GridModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QPixmap GridDelegate::picture(const std::string& imageName, int transparent) const {
    const QString key = toQString(imageName) + QLatin1Char('/') + QString::number(transparent);
    if (const auto cached = pictures_.constFind(key); cached != pictures_.constEnd()) {
        return *cached;
    }
    QPixmap pixmap;
    const TDBGrid* grid = model_.grid();
    const TForm* form = grid != nullptr ? grid->Owner() : nullptr;
    const auto* image =
        form != nullptr ? dynamic_cast<const TImage*>(form->FindComponent(imageName)) : nullptr;
    if (image != nullptr && pixmap.load(kPicturePrefix + toQString(image->Picture()) + ".png")) {
        const QColor clear = toQColor(static_cast<TColor>(transparent));
        if (clear.isValid()) {
            pixmap.setMask(pixmap.createMaskFromColor(clear, Qt::MaskInColor));
        }
    }
    pictures_.insert(key, pixmap);
    return pixmap;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    TDBGrid* grid = model_.grid();
    if (grid == nullptr || index.row() >= grid->RowCount()) {
        return;
    }
    const TCanvas canvas = grid->PaintCell(index.row(), index.column());
    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell);
    for (const PaintOp& op : canvas.Ops()) {
        switch (op.kind) {
            case PaintKind::Fill:
                painter->fillRect(cell, toQColor(op.color));
                break;
            case PaintKind::Image:
                painter->drawPixmap(cell.left() + op.x, cell.top() + op.y,
                                    picture(op.content, op.transparent));
                break;
            case PaintKind::Text: {
                painter->setPen(toQColor(op.color));
                const QRect area = cell.adjusted(op.alignment == Alignment::Right ? 0 : op.x, 0,
                                                 op.alignment == Alignment::Right ? -op.x : 0, 0);
                const Qt::Alignment horizontal = op.alignment == Alignment::Right ? Qt::AlignRight
                                                 : op.alignment == Alignment::Center
                                                     ? Qt::AlignHCenter
                                                     : Qt::AlignLeft;
                const QString text = option.fontMetrics.elidedText(toQString(op.content),
                                                                   Qt::ElideRight, area.width());
                painter->drawText(area, horizontal | Qt::AlignVCenter, text);
                break;
            }
        }
    }
    if (option.state & QStyle::State_Selected) {
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(70);
        painter->fillRect(cell, tint);
    }
    painter->restore();
}

}  // namespace lembrete
