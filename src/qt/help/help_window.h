// HelpWindow: the user guide in a window of its own ("Guia do usuário — Lembrete").
//
// The guide is docs/guia-do-usuario.md, compiled into the client as the resource
// kGuideResource and shown by Qt's own Markdown support in a QTextBrowser (txtGuia). Its
// sections are reached by anchor: the anchor of a heading is made as the guide's readers make
// it (anchorOf), so the links the README and the guide itself hold and the sections the screens
// ask for are the same names. Links inside the guide move to their section.
//
// The host keeps one and shows it again for every request, at the section asked for, over the
// window in use: over a modal dialog it is that dialog's own window, so it can be read and
// scrolled while the dialog waits. It never keeps the application running once the main window
// closed. User-interface thread only.
#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QUrl;

namespace lembrete {

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr const char* kGuideResource = ":/lembrete/ajuda/guia-do-usuario.md";

    HelpWindow();

    // Shows the window above `over` (may be null) with the heading of `anchor` at the top; an
    // empty or unknown anchor shows the guide's beginning.
    void showSection(const QString& anchor, QWidget* over);
    // The anchors of the guide's headings, in their order.
    QStringList anchors() const;
    // A heading's anchor: lower case, letters, digits, hyphens and underscores kept, other
    // punctuation dropped, each space a hyphen ("Editor: Repetições" is "editor-repetições").
    static QString anchorOf(const QString& heading);

  private:
    void scrollTo(const QString& anchor);
    void follow(const QUrl& link);

    QTextBrowser* browser_;
};

}  // namespace lembrete
