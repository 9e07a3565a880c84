#include "qt/print/page_settings.h"

#include <QPageLayout>
#include <QPrinter>
#include <QSettings>

namespace lembrete {
namespace {

const QString kPaper = QStringLiteral("impressao/papel");
const QString kOrientation = QStringLiteral("impressao/orientacao");
const QString kMargins = QStringLiteral("impressao/margens_mm");

}  // namespace

void loadPageSetup(QPrinter& printer) {
    const QSettings settings;
    if (!settings.contains(kPaper)) {
        return;
    }
    const auto paper = static_cast<QPageSize::PageSizeId>(settings.value(kPaper).toInt());
    const QStringList margins = settings.value(kMargins).toString().split(QLatin1Char(','));
    QMarginsF kept = printer.pageLayout().margins(QPageLayout::Millimeter);
    if (margins.size() == 4) {
        kept = QMarginsF(margins[0].toDouble(), margins[1].toDouble(), margins[2].toDouble(),
                         margins[3].toDouble());
    }
    printer.setPageLayout(
        QPageLayout(QPageSize(paper),
                    settings.value(kOrientation).toString() == QLatin1String("paisagem")
                        ? QPageLayout::Landscape
                        : QPageLayout::Portrait,
                    kept, QPageLayout::Millimeter));
}

void savePageSetup(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    QSettings settings;
    settings.setValue(kPaper, static_cast<int>(layout.pageSize().id()));
    settings.setValue(kOrientation, layout.orientation() == QPageLayout::Landscape
                                        ? QStringLiteral("paisagem")
                                        : QStringLiteral("retrato"));
    settings.setValue(kMargins, QStringLiteral("%1,%2,%3,%4")
                                    .arg(margins.left())
                                    .arg(margins.top())
                                    .arg(margins.right())
                                    .arg(margins.bottom()));
}

}  // namespace lembrete
