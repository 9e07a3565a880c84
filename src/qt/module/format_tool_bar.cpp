#include "qt/module/format_tool_bar.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>

namespace lembrete {

FormatToolBar::FormatToolBar(QWidget& placeholder, QTextEdit& editor)
    : QWidget(&placeholder), editor_(editor) {
    setObjectName(placeholder.objectName() + "_bar");
    auto* outer =
        placeholder.layout() != nullptr ? placeholder.layout() : new QHBoxLayout(&placeholder);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);

    connect(addButton(QStringLiteral("✂"), QStringLiteral("Recortar")), &QToolButton::clicked,
            &editor_, &QTextEdit::cut);
    connect(addButton(QStringLiteral("❐"), QStringLiteral("Copiar")), &QToolButton::clicked,
            &editor_, &QTextEdit::copy);
    connect(addButton(QStringLiteral("▤"), QStringLiteral("Colar")), &QToolButton::clicked,
            &editor_, &QTextEdit::paste);
    connect(addButton(QStringLiteral("↶"), QStringLiteral("Voltar")), &QToolButton::clicked,
            &editor_, &QTextEdit::undo);

    font_ = new QFontComboBox(this);
    font_->setToolTip(QStringLiteral("Fonte"));
    font_->setMaximumWidth(150);
    row->addWidget(font_);
    connect(font_, &QFontComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        mergeFormat(format);
    });
    size_ = new QComboBox(this);
    size_->setToolTip(QStringLiteral("Tamanho"));
    for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36}) {
        size_->addItem(QString::number(points));
    }
    row->addWidget(size_);
    connect(size_, &QComboBox::textActivated, this, [this](const QString& points) {
        QTextCharFormat format;
        format.setFontPointSize(points.toDouble());
        mergeFormat(format);
    });

    bold_ = addButton(QStringLiteral("N"), QStringLiteral("Negrito"), true);
    connect(bold_, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        mergeFormat(format);
    });
    italic_ = addButton(QStringLiteral("I"), QStringLiteral("Itálico"), true);
    connect(italic_, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontItalic(on);
        mergeFormat(format);
    });
    underline_ = addButton(QStringLiteral("S"), QStringLiteral("Sublinhado"), true);
    connect(underline_, &QToolButton::clicked, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontUnderline(on);
        mergeFormat(format);
    });
    QFont boldFont = bold_->font();
    boldFont.setBold(true);
    bold_->setFont(boldFont);
    QFont italicFont = italic_->font();
    italicFont.setItalic(true);
    italic_->setFont(italicFont);
    QFont underlineFont = underline_->font();
    underlineFont.setUnderline(true);
    underline_->setFont(underlineFont);

    const struct {
        const char* glyph;
        const char* hint;
        Qt::Alignment alignment;
    } alignments[] = {{"⇤", "Alinhar à esquerda", Qt::AlignLeft},
                      {"↔", "Alinhar centralizado", Qt::AlignHCenter},
                      {"⇥", "Alinhar à direita", Qt::AlignRight}};
    for (const auto& entry : alignments) {
        const Qt::Alignment alignment = entry.alignment;
        connect(addButton(QString::fromUtf8(entry.glyph), QString::fromUtf8(entry.hint)),
                &QToolButton::clicked, this,
                [this, alignment] { editor_.setAlignment(alignment); });
    }
    connect(addButton(QStringLiteral("•"), QStringLiteral("Numerador")), &QToolButton::clicked,
            this, [this] {
                QTextCursor cursor = editor_.textCursor();
                if (QTextList* list = cursor.currentList()) {
                    QTextBlockFormat plain;
                    plain.setIndent(0);
                    list->remove(cursor.block());
                    cursor.setBlockFormat(plain);
                } else {
                    cursor.createList(QTextListFormat::ListDisc);
                }
            });
    connect(addButton(QStringLiteral("A"), QStringLiteral("Cores")), &QToolButton::clicked, this,
            [this] {
                const QColor color =
                    QColorDialog::getColor(editor_.textColor(), &editor_, QStringLiteral("Cores"));
                if (color.isValid()) {
                    QTextCharFormat format;
                    format.setForeground(color);
                    mergeFormat(format);
                }
            });
    row->addStretch();
    connect(&editor_, &QTextEdit::currentCharFormatChanged, this, &FormatToolBar::showCursorFormat);
    showCursorFormat();
}

QToolButton* FormatToolBar::addButton(const QString& text, const QString& hint, bool checkable) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    button->setFixedSize(24, 24);
    layout()->addWidget(button);
    return button;
}

void FormatToolBar::mergeFormat(const QTextCharFormat& format) {
    QTextCursor cursor = editor_.textCursor();
    if (!cursor.hasSelection()) {
        cursor.select(QTextCursor::WordUnderCursor);
    }
    cursor.mergeCharFormat(format);
    editor_.mergeCurrentCharFormat(format);
    editor_.setFocus();
}

void FormatToolBar::showCursorFormat() {
    const QTextCharFormat format = editor_.currentCharFormat();
    const QFont font = format.font();
    font_->setCurrentFont(font);
    size_->setCurrentText(QString::number(static_cast<int>(font.pointSizeF())));
    bold_->setChecked(font.bold());
    italic_->setChecked(font.italic());
    underline_->setChecked(font.underline());
}

}  // namespace lembrete
