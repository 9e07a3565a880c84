#include "qt/print/document_pages.h"

#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

namespace lembrete {
namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

void addBlock(QTextCursor& cursor, const QString& line, qreal size, bool bold) {
    QTextCharFormat format;
    format.setFontPointSize(size);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(line, format);
}

void addSection(QTextCursor& cursor, const PrintDocument& document, const PrintSection& section,
                bool withDescriptions) {
    if (!section.heading.empty()) {
        addBlock(cursor, text(section.heading), 11, true);
    }
    const int columns = static_cast<int>(document.columns.size());
    int rows = 1;
    for (const PrintRow& row : section.rows) {
        rows += withDescriptions && !row.description.empty() ? 2 : 1;
    }
    QTextTableFormat table;
    table.setHeaderRowCount(1);
    table.setCellPadding(3);
    table.setCellSpacing(0);
    table.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    table.setBorderBrush(QColor(0x80, 0x90, 0xa8));
    table.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable* grid = cursor.insertTable(rows, columns, table);
    QTextCharFormat title;
    title.setFontWeight(QFont::Bold);
    for (int column = 0; column < columns; ++column) {
        grid->cellAt(0, column).firstCursorPosition().insertText(
            text(document.columns[static_cast<std::size_t>(column)].title), title);
    }
    int at = 1;
    for (const PrintRow& row : section.rows) {
        for (int column = 0; column < columns && column < static_cast<int>(row.cells.size());
             ++column) {
            QTextCursor cell = grid->cellAt(at, column).firstCursorPosition();
            if (document.columns[static_cast<std::size_t>(column)].alignRight) {
                QTextBlockFormat right;
                right.setAlignment(Qt::AlignRight);
                cell.setBlockFormat(right);
            }
            cell.insertText(text(row.cells[static_cast<std::size_t>(column)]));
        }
        ++at;
        if (withDescriptions && !row.description.empty()) {
            grid->mergeCells(at, 0, 1, columns);
            const QString description = text(row.description);
            grid->cellAt(at, 0).firstCursorPosition().insertFragment(
                Qt::mightBeRichText(description)
                    ? QTextDocumentFragment::fromHtml(description)
                    : QTextDocumentFragment::fromPlainText(description));
            ++at;
        }
    }
    cursor.movePosition(QTextCursor::End);
}

}  // namespace

void printDocument(const PrintDocument& document, bool withDescriptions, QPrinter& printer) {
    QTextDocument pages;
    pages.setDocumentMargin(0);
    QTextCursor cursor(&pages);
    QTextCharFormat heading;
    heading.setFontPointSize(16);
    heading.setFontWeight(QFont::Bold);
    cursor.insertText(text(document.title), heading);
    for (const std::string& line : document.lines) {
        addBlock(cursor, text(line), 10, false);
    }
    if (document.RowCount() == 0) {
        addBlock(cursor, QStringLiteral("Nenhum lembrete."), 10, false);
    }
    for (const PrintSection& section : document.sections) {
        if (!section.rows.empty()) {
            addBlock(cursor, QString(), 6, false);
            addSection(cursor, document, section, withDescriptions);
        }
    }

    // The page body, less a line at the foot for the page number.
    QPainter painter(&printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal scale = printer.resolution() / 96.0;
    const qreal foot = 24 * scale;
    const QSizeF body(page.width() / scale, (page.height() - foot) / scale);
    pages.setPageSize(body);
    const int count = pages.pageCount();
    for (int number = 0; number < count; ++number) {
        if (number > 0) {
            printer.newPage();
        }
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -body.height() * number);
        const QRectF shown(0, body.height() * number, body.width(), body.height());
        pages.drawContents(&painter, shown);
        painter.restore();
        painter.drawText(QRectF(0, page.height() - foot, page.width(), foot),
                         Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Página %1 de %2").arg(number + 1).arg(count));
    }
}

}  // namespace lembrete
