// DateBoxKeys: the keyboard of the date and time boxes as a person types into them.
//
// A digit overwrites the character at the cursor, or the first of a selection (skipping the
// separators), so Home then 1430
// gives 14:30 and 31012027 gives 31/01/2027, wherever the cursor was. Tab and Shift+Tab leave
// the box for the next or previous control instead of walking through its sections.
#pragma once

#include <QObject>

class QDateTimeEdit;

namespace lembrete {

class DateBoxKeys : public QObject {
    Q_OBJECT

  public:
    // Installs itself on `box`, which owns it.
    explicit DateBoxKeys(QDateTimeEdit& box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void overwriteAtCursor();

    QDateTimeEdit& box_;
};

}  // namespace lembrete
