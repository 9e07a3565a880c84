#include "qt/help/help_window.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFrame>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace lembrete {
namespace {

QString guideText() {
    QFile guide(QString::fromLatin1(HelpWindow::kGuideResource));
    if (!guide.open(QIODevice::ReadOnly)) {
        return QStringLiteral("# Guia do usuário\n\nO guia não foi incluído neste programa.");
    }
    return QString::fromUtf8(guide.readAll());
}

}  // namespace

HelpWindow::HelpWindow() : browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmAjuda"));
    setWindowTitle(QStringLiteral("Guia do usuário — Lembrete"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setObjectName(QStringLiteral("txtGuia"));
    browser_->setOpenLinks(false);
    browser_->document()->setDocumentMargin(12);
    browser_->setMarkdown(guideText());
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    resize(680, 620);
}

QString HelpWindow::anchorOf(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            anchor += c;
        } else if (c == QLatin1Char(' ')) {
            anchor += QLatin1Char('-');
        }
    }
    return anchor;
}

QStringList HelpWindow::anchors() const {
    QStringList found;
    for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) {
            found << anchorOf(block.text());
        }
    }
    return found;
}

void HelpWindow::showSection(const QString& anchor, QWidget* over) {
    if (over != nullptr) {
        // Above the window in use; a modal dialog does not block its own transient windows.
        winId();
        over->window()->winId();
        windowHandle()->setTransientParent(over->window()->windowHandle());
    }
    show();
    raise();
    activateWindow();
    scrollTo(anchor);
}

void HelpWindow::scrollTo(const QString& anchor) {
    QTextDocument& document = *browser_->document();
    // Room below the end, so that the last sections too open with their heading at the top.
    QTextFrameFormat room = document.rootFrame()->frameFormat();
    room.setBottomMargin(browser_->viewport()->height());
    document.rootFrame()->setFrameFormat(room);
    int top = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && anchorOf(block.text()) == anchor) {
            top = static_cast<int>(document.documentLayout()->blockBoundingRect(block).top());
            browser_->setTextCursor(QTextCursor(block));
            break;
        }
    }
    browser_->verticalScrollBar()->setValue(top);
}

void HelpWindow::follow(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty()) {
        scrollTo(link.fragment());
    } else {
        QDesktopServices::openUrl(link);
    }
}

}  // namespace lembrete
