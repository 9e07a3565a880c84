// addHelpKey: the key F1 on a Qt window of its own (a dialog, the alarm window): it runs `show`,
// which asks the host for the guide at that window's section. The key belongs to the window and
// goes with it.
#pragma once

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>
#include <functional>

namespace lembrete {

inline void addHelpKey(QWidget& window, std::function<void()> show) {
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), &window), &QShortcut::activated,
                     &window, std::move(show));
}

}  // namespace lembrete
