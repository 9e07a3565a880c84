#include "qt/host/busy_indicator.h"

#include <QEvent>
#include <QPainter>
#include <QTimerEvent>

namespace lembrete {
namespace {

constexpr int kFrameMs = 80;
constexpr int kPhases = 12;

}  // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    setObjectName("busyIndicator");
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    hide();
    parent->installEventFilter(this);
}

void BusyIndicator::begin() {
    if (depth_++ > 0) {
        return;
    }
    setGeometry(parentWidget()->rect());
    show();
    raise();
    timer_ = startTimer(kFrameMs);
    repaint();
}

void BusyIndicator::end() {
    if (depth_ == 0 || --depth_ > 0) {
        return;
    }
    killTimer(timer_);
    timer_ = 0;
    hide();
}

bool BusyIndicator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void BusyIndicator::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_) {
        phase_ = (phase_ + 1) % kPhases;
        update();
    }
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 60));
    const QRect box(width() / 2 - 90, height() / 2 - 30, 180, 60);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 255, 225));
    painter.setPen(QColor(0, 0, 128));
    painter.drawRoundedRect(box, 6, 6);
    painter.drawText(box.adjusted(0, 8, 0, -24), Qt::AlignCenter, QStringLiteral("Aguarde..."));
    const int step = (box.width() - 40) / kPhases;
    for (int i = 0; i < kPhases; ++i) {
        painter.setBrush(i == phase_ ? QColor(0, 0, 128) : QColor(190, 190, 210));
        painter.setPen(Qt::NoPen);
        painter.drawRect(box.left() + 20 + i * step, box.bottom() - 18, step - 2, 8);
    }
}

}  // namespace lembrete
