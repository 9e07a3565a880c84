// The print preview of a PrintDocument: Qt's preview dialog (zoom, pages, print, and through
// the print dialog a PDF file) over `printer`, with a check box "Imprimir as descrições"
// (object name chkDescricoes, checked at start, shown only when a row has one) that lays the
// pages out again with or without them. F1 runs `help`.
#pragma once

#include <functional>

#include "print/print_document.h"

class QPrinter;
class QWidget;

namespace lembrete {

void showPrintPreview(const PrintDocument& document, QPrinter& printer, QWidget* parent,
                      const std::function<void()>& help);

}  // namespace lembrete
