// Draws the module's 16 x 16 pictures (the grid's check, uncheck and alarm images) into PNG
// files at build time: draw_images OUTPUT_FOLDER. The background is olive (128, 128, 0), the
// colour the grid paints as transparent.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSize = 16;
const QColor kOlive(128, 128, 0);

QImage blank() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kOlive);
    return image;
}

void box(QPainter& painter) {
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(Qt::white);
    painter.drawRect(2, 2, 11, 11);
}

QImage uncheck() {
    QImage image = blank();
    QPainter painter(&image);
    box(painter);
    return image;
}

QImage check() {
    QImage image = blank();
    QPainter painter(&image);
    box(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 10.8), QPointF(11.5, 4.5)}));
    return image;
}

QImage alarm() {
    QImage image = blank();
    QPainter painter(&image);
    painter.setPen(QColor(100, 70, 0));
    painter.setBrush(QColor(250, 200, 30));
    QPainterPath bell;
    bell.moveTo(3, 12);
    bell.lineTo(13, 12);
    bell.lineTo(12, 10);
    bell.cubicTo(12, 3, 4, 3, 4, 10);
    bell.closeSubpath();
    painter.drawPath(bell);
    painter.drawRect(7, 1, 2, 2);
    painter.setBrush(QColor(100, 70, 0));
    painter.drawEllipse(6, 12, 4, 3);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: draw_images PASTA\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool saved = check().save(folder + "/imgCheck.png") &&
                       uncheck().save(folder + "/imgUncheck.png") &&
                       alarm().save(folder + "/imgAlarme.png");
    return saved ? 0 : 1;
}
