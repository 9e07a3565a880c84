// FormatToolBar: the rich-text formatting bar of a format panel (TFormatPanel): cut, copy,
// paste, undo, font, size, bold, italic, underline, the three alignments, bullets and colour,
// each with its Portuguese hint, acting on one QTextEdit. Formatting is how rich text is shown
// and edited, so it lives here; the edit's bound component receives the resulting HTML like
// any other typing. Built into the panel's placeholder widget, which owns it.
#pragma once

#include <QWidget>

class QFontComboBox;
class QTextCharFormat;
class QComboBox;
class QTextEdit;
class QToolButton;

namespace lembrete {

class FormatToolBar : public QWidget {
    Q_OBJECT

  public:
    // Fills `placeholder` with the bar.
    FormatToolBar(QWidget& placeholder, QTextEdit& editor);

  private:
    QToolButton* addButton(const QString& text, const QString& hint, bool checkable = false);
    void mergeFormat(const QTextCharFormat& format);
    void showCursorFormat();

    QTextEdit& editor_;
    QFontComboBox* font_ = nullptr;
    QComboBox* size_ = nullptr;
    QToolButton* bold_ = nullptr;
    QToolButton* italic_ = nullptr;
    QToolButton* underline_ = nullptr;
};

}  // namespace lembrete
