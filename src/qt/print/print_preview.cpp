#include "qt/print/print_preview.h"

#include <QCheckBox>
#include <QLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include "qt/help/help_key.h"
#include "qt/print/document_pages.h"

namespace lembrete {

void showPrintPreview(const PrintDocument& document, QPrinter& printer, QWidget* parent,
                      const std::function<void()>& help) {
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("dlgImprimir"));
    addHelpKey(dialog, help);
    dialog.setWindowTitle(QString::fromStdString(document.title));
    auto* descriptions = new QCheckBox(QStringLiteral("Imprimir as &descrições"));
    descriptions->setObjectName(QStringLiteral("chkDescricoes"));
    descriptions->setChecked(true);
    // Under the pages, where a narrow tool bar cannot fold it away.
    if (dialog.layout() != nullptr) {
        dialog.layout()->addWidget(descriptions);
    }
    descriptions->setVisible(document.HasDescriptions());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document, descriptions](QPrinter* target) {
                         printDocument(document, descriptions->isChecked(), *target);
                     });
    QObject::connect(descriptions, &QCheckBox::toggled, &dialog, [&dialog] {
        if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
            preview->updatePreview();
        }
    });
    dialog.exec();
}

}  // namespace lembrete
