// Lays a PrintDocument out on a printer's pages (a real printer, a PDF file or a preview):
// the title, its lines, then per section its heading and a table with the document's columns,
// each row followed by its description (rich text) when `withDescriptions` holds. Pages are
// numbered at the foot ("Página 1 de 3"); the printer's page layout is used as it stands.
#pragma once

#include "print/print_document.h"

class QPrinter;

namespace lembrete {

void printDocument(const PrintDocument& document, bool withDescriptions, QPrinter& printer);

}  // namespace lembrete
