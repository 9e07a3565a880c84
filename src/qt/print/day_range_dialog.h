// Asks for a range of days ("De", "Até") in a small modal dialog; the boxes start on `first`
// and `last` and hold the answer when the user confirms (true). F1 runs `help`.
#pragma once

#include <QDate>
#include <QString>
#include <functional>

class QWidget;

namespace lembrete {

bool askDayRange(QWidget* parent, const QString& caption, QDate& first, QDate& last,
                 const std::function<void()>& help);

}  // namespace lembrete
