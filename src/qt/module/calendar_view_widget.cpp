#include "qt/module/calendar_view_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "qt/module/qt_convert.h"

namespace lembrete {
namespace {

constexpr int kTitleHeight = 20;
constexpr int kPadding = 3;
constexpr int kPicture = 16;
const QColor kToday(0xc8, 0xdc, 0xf5);
const QColor kOtherMonth(0xe8, 0xe8, 0xe8);
const QColor kCell(0xff, 0xff, 0xe1);
const QColor kOverdue(0x80, 0x00, 0x00);
const QColor kTitle(0x00, 0x00, 0x80);

// A picture of the module's resources, its olive background transparent as in the grid.
QPixmap picture(const char* name) {
    QPixmap pixmap(QStringLiteral(":/lembrete/images/") + QLatin1String(name) +
                   QStringLiteral(".png"));
    pixmap.setMask(pixmap.createMaskFromColor(toQColor(clOlive), Qt::MaskInColor));
    return pixmap;
}

// The painted days: the view's cells, clicks and keys, in the scrolling area of its owner.
class CalendarCanvas : public QWidget {
  public:
    explicit CalendarCanvas(CalendarViewWidget& owner) : owner_(owner) {
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

    void mousePressEvent(QMouseEvent* event) override {
        const auto [cell, entry] = owner_.hitAt(event->position().toPoint());
        if (cell >= 0 && event->button() == Qt::LeftButton) {
            Q_EMIT owner_.cellClicked(cell, entry);
        }
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        const auto [cell, entry] = owner_.hitAt(event->position().toPoint());
        if (cell >= 0 && event->button() == Qt::LeftButton) {
            Q_EMIT owner_.cellDoubleClicked(cell, entry);
        }
    }

    void keyPressEvent(QKeyEvent* event) override {
        static const std::pair<int, ViewKey> keys[] = {
            {Qt::Key_Left, ViewKey::Left},    {Qt::Key_Right, ViewKey::Right},
            {Qt::Key_Up, ViewKey::Up},        {Qt::Key_Down, ViewKey::Down},
            {Qt::Key_Return, ViewKey::Enter}, {Qt::Key_Enter, ViewKey::Enter}};
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            for (const auto& [qtKey, key] : keys) {
                if (event->key() == qtKey) {
                    Q_EMIT owner_.keyPressed(key);
                    return;
                }
            }
        }
        QWidget::keyPressEvent(event);
    }

    void focusInEvent(QFocusEvent* event) override {
        QWidget::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QWidget::focusOutEvent(event);
        update();
    }

  private:
    CalendarViewWidget& owner_;
};

}  // namespace

CalendarViewWidget::CalendarViewWidget(QWidget* parent) : QScrollArea(parent) {
    setWidget(new CalendarCanvas(*this));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMinimumHeight(160);
    // Tab and the clicks give the focus to the days themselves.
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(widget());
}

void CalendarViewWidget::setView(CalendarView view) {
    view_ = std::move(view);
    canvas()->setMinimumHeight(view_.Kind() == ViewKind::Week ? weekHeight() : 0);
    canvas()->update();
    const int cell = view_.CellOf(view_.Selected());
    if (cell >= 0 && view_.Kind() == ViewKind::Week) {
        // The layout settles the canvas height first.
        widget()->resize(viewport()->width(), std::max(viewport()->height(), weekHeight()));
        // The entry the keyboard stands on, or the top of the day with the weekday names.
        const QRect shown = view_.Current() >= 0 ? entryRect(cell, view_.Current())
                                                 : QRect(cellRect(cell).left(), 0, 1, 1);
        ensureVisible(shown.center().x(), shown.center().y(), 0, shown.height());
    }
}

QSize CalendarViewWidget::sizeHint() const {
    return {700, 320};
}

int CalendarViewWidget::lineHeight() const {
    return std::max(fontMetrics().height(), kPicture) + 1;
}

int CalendarViewWidget::weekHeight() const {
    std::size_t busiest = 0;
    for (const auto& cell : view_.Cells()) {
        busiest = std::max(busiest, cell.entries.size());
    }
    return kTitleHeight + 2 * kPadding + static_cast<int>(busiest + 1) * lineHeight();
}

QRect CalendarViewWidget::cellRect(int cell) const {
    const int weeks = std::max(1, view_.Weeks());
    const int columnWidth = canvas()->width() / 7;
    const int rowHeight = (canvas()->height() - kTitleHeight) / weeks;
    const int column = cell % 7;
    const int row = cell / 7;
    return {column * columnWidth, kTitleHeight + row * rowHeight, columnWidth, rowHeight};
}

int CalendarViewWidget::visibleEntries(int cell) const {
    const int lines = (cellRect(cell).height() - kPadding) / lineHeight() - 1;
    const auto& dayCell = view_.Cells()[static_cast<std::size_t>(cell)];
    const int count = static_cast<int>(dayCell.entries.size());
    if (count + (dayCell.hidden > 0 ? 1 : 0) <= lines) {
        return count;
    }
    return std::max(0, lines - 1);  // one line left for "+N"
}

QRect CalendarViewWidget::entryRect(int cell, int entry) const {
    const QRect box = cellRect(cell);
    return {box.left() + kPadding, box.top() + kPadding + (entry + 1) * lineHeight(),
            box.width() - 2 * kPadding, lineHeight()};
}

std::pair<int, int> CalendarViewWidget::hitAt(QPoint point) const {
    for (int cell = 0; cell < static_cast<int>(view_.Cells().size()); ++cell) {
        if (!cellRect(cell).contains(point)) {
            continue;
        }
        for (int entry = 0; entry < visibleEntries(cell); ++entry) {
            if (entryRect(cell, entry).contains(point)) {
                return {cell, entry};
            }
        }
        return {cell, -1};
    }
    return {-1, -1};
}

void CalendarCanvas::paintEvent(QPaintEvent*) {
    const CalendarView& view = owner_.view();
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const auto titles = CalendarView::ColumnTitles();
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kTitle);
    for (int column = 0; column < 7; ++column) {
        const QRect box(owner_.cellRect(column).left(), 0, owner_.cellRect(column).width(),
                        kTitleHeight);
        painter.drawText(box, Qt::AlignCenter, toQString(titles[column]));
    }
    const QPixmap check = picture("imgCheck");
    const QPixmap alarm = picture("imgAlarme");
    const auto& cells = view.Cells();
    for (int index = 0; index < static_cast<int>(cells.size()); ++index) {
        const DayCell& cell = cells[static_cast<std::size_t>(index)];
        const QRect box = owner_.cellRect(index);
        painter.fillRect(box, cell.today ? kToday : cell.inMonth ? kCell : kOtherMonth);
        painter.setPen(QPen(Qt::gray, 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (cell.selected) {
            painter.setPen(QPen(kTitle, 2));
            painter.drawRect(box.adjusted(1, 1, -2, -2));
        }
        painter.setFont(cell.today ? bold : font());
        painter.setPen(cell.inMonth ? Qt::black : Qt::gray);
        const QString dayText = view.Kind() == ViewKind::Month
                                    ? QString::number(cell.day.day())
                                    : toQString(cell.day.format().substr(0, 5));
        painter.drawText(owner_.entryRect(index, -1), Qt::AlignLeft | Qt::AlignVCenter, dayText);
        painter.setFont(font());
        const int shown = owner_.visibleEntries(index);
        for (int e = 0; e < shown; ++e) {
            const ViewEntry& entry = cell.entries[static_cast<std::size_t>(e)];
            QRect line = owner_.entryRect(index, e);
            if (cell.selected && e == view.Current()) {
                painter.fillRect(line, hasFocus() ? kTitle : Qt::lightGray);
                painter.setPen(hasFocus() ? Qt::white : Qt::black);
            } else {
                painter.setPen(entry.overdue ? kOverdue : entry.done ? Qt::darkGray : Qt::black);
            }
            painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, toQString(entry.time()));
            int left = line.left() + fontMetrics().horizontalAdvance(QStringLiteral("00:00 "));
            if (entry.done) {
                painter.drawPixmap(left, line.top(), check);
                left += kPicture + 2;
            }
            if (entry.alarm) {
                painter.drawPixmap(left, line.top(), alarm);
                left += kPicture + 2;
            }
            line.setLeft(left);
            painter.drawText(
                line, Qt::AlignLeft | Qt::AlignVCenter,
                fontMetrics().elidedText(toQString(entry.reference), Qt::ElideRight, line.width()));
        }
        const int more = cell.hidden + static_cast<int>(cell.entries.size()) - shown;
        if (more > 0) {
            painter.setPen(kTitle);
            painter.drawText(owner_.entryRect(index, shown), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("+%1").arg(more));
        }
    }
}

}  // namespace lembrete
