#include "qt/host/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lembrete {
namespace {

const QColor kPage(255, 255, 238);
const QColor kBinding(60, 79, 110);  // the agenda's title colour
const QColor kBell(250, 200, 30);
const QColor kInk(100, 70, 0);

}  // namespace

QImage drawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64 x 64 grid.
    painter.scale(size / 64.0, size / 64.0);

    const QRectF page(6, 8, 52, 52);
    painter.setPen(QPen(kBinding, 2.5));
    painter.setBrush(kPage);
    painter.drawRoundedRect(page, 6, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBinding);
    QPainterPath outline;
    outline.addRoundedRect(page, 6, 6);
    painter.setClipPath(outline);
    painter.drawRect(QRectF(6, 8, 52, 16));
    painter.setClipping(false);
    painter.setBrush(kPage);
    for (const qreal x : {18.0, 46.0}) {
        painter.drawRoundedRect(QRectF(x - 3, 3, 6, 12), 3, 3);
    }

    painter.setPen(QPen(kInk, 2));
    painter.setBrush(kBell);
    QPainterPath bell;
    bell.moveTo(20, 50);
    bell.lineTo(44, 50);
    bell.lineTo(41, 45);
    bell.cubicTo(41, 27, 23, 27, 23, 45);
    bell.closeSubpath();
    painter.drawPath(bell);
    painter.setBrush(kInk);
    painter.drawEllipse(QRectF(28.5, 50, 7, 6));
    painter.drawRect(QRectF(31, 28, 2, 3));
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (const int size : kAppIconSizes) {
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    }
    return icon;
}

}  // namespace lembrete
