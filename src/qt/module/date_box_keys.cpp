#include "qt/module/date_box_keys.h"

#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>

namespace lembrete {

DateBoxKeys::DateBoxKeys(QDateTimeEdit& box) : QObject(&box), box_(box) {
    box.installEventFilter(this);
}

void DateBoxKeys::overwriteAtCursor() {
    auto* line = box_.findChild<QLineEdit*>();
    if (line == nullptr) {
        return;
    }
    // A selected section (the box selects the next one by itself) is filled from its start.
    const QString text = line->text();
    int position = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    while (position < text.size() && !text.at(position).isDigit()) {
        ++position;
    }
    if (position < text.size()) {
        line->setSelection(position, 1);
    }
}

bool DateBoxKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &box_ || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* press = static_cast<QKeyEvent*>(event);
    if ((press->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0) {
        return false;
    }
    if (press->key() == Qt::Key_Tab) {
        // From the last section the box hands the focus on.
        box_.setCurrentSectionIndex(box_.sectionCount() - 1);
    } else if (press->key() == Qt::Key_Backtab) {
        box_.setCurrentSectionIndex(0);
    } else if (press->text().size() == 1 && press->text().at(0).isDigit()) {
        overwriteAtCursor();
    }
    return false;
}

}  // namespace lembrete
