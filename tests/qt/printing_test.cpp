// Printing from the agenda on real widgets: "Imprimir" (Ctrl+P) opens a preview of the list
// in the order its grid shows, with its descriptions, which a check box leaves out; "Listagem"
// asks for days and prints them grouped by day; "Configurar impressora" is remembered. The
// pages are printed to PDF files and read back with pdftotext.
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include "client_fixture.h"
#include "qt/host/qt_host_services.h"
#include "qt/print/page_settings.h"

namespace lembrete::testing {
namespace {

class PrintingTest : public ClientFixture {
  protected:
    // The preview's pages printed to a PDF file, as text.
    QString printedText(QPrintPreviewDialog& preview) {
        const QString path = folder_.filePath(QStringLiteral("pagina%1.pdf").arg(++printed_));
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(path);
        Q_EMIT preview.paintRequested(&pdf);
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, "-"});
        EXPECT_TRUE(reader.waitForFinished(20000)) << "pdftotext";
        return QString::fromUtf8(reader.readAllStandardOutput());
    }

    QTemporaryDir folder_;
    int printed_ = 0;
};

TEST_F(PrintingTest, TheListPrintsWithItsDescriptionsOrWithout) {
    createReminder("Reunião de equipe", "09:00", false, "<p>Levar o <b>contrato</b> assinado</p>");
    createReminder("Almoço", "12:30");
    ASSERT_EQ(gridRows(), 2);
    QString withDescriptions;
    QString without;
    bool boxShown = false;
    auto ran = whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
        auto* descriptions = preview.findChild<QCheckBox*>("chkDescricoes");
        ASSERT_NE(descriptions, nullptr);
        boxShown = descriptions->isVisibleTo(&preview);
        withDescriptions = printedText(preview);
        descriptions->setChecked(false);
        without = printedText(preview);
        preview.reject();
    });
    activate(window());
    agenda<QTableView>("dbsAFazer")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(*ran);
    EXPECT_TRUE(boxShown);
    for (const char* expected :
         {"Lembretes", "Operador: TESTE", "Dia: Quarta, 11/03/2026", "Exibindo: Pendentes",
          "Prioridade", "Horário", "Referência", "Reunião de equipe", "09:00", "Almoço", "12:30",
          "Página 1 de 1"}) {
        EXPECT_TRUE(withDescriptions.contains(QString::fromUtf8(expected)))
            << expected << "\n"
            << withDescriptions.toStdString();
        EXPECT_TRUE(without.contains(QString::fromUtf8(expected))) << expected;
    }
    // A pending mark before each row.
    EXPECT_TRUE(without.contains(QRegularExpression(QStringLiteral("\\[ ?\\]\\s+09:00"))))
        << without.toStdString();
    EXPECT_TRUE(withDescriptions.contains("Levar o contrato assinado"))
        << withDescriptions.toStdString();
    EXPECT_FALSE(without.contains("Levar o contrato")) << without.toStdString();
}

TEST_F(PrintingTest, TheListPrintsInTheOrderTheGridShows) {
    createReminder("banco", "08:00");
    createReminder("Água", "09:00");
    createReminder("Dentista", "10:00");
    // "Referência" clicked twice: from z to a, letter case and accents ignored.
    QHeaderView* header = agenda<QTableView>("dbsAFazer")->horizontalHeader();
    const QPoint title(header->sectionViewportPosition(4) + header->sectionSize(4) / 2,
                       header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    ASSERT_EQ(cell(0, 4), "Dentista");
    QString printed;
    auto ran = whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
        printed = printedText(preview);
        preview.reject();
    });
    activate(window());
    agenda<QTableView>("dbsAFazer")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(*ran);
    qsizetype previous = -1;
    for (const char* reference : {"Dentista", "banco", "Água"}) {
        const qsizetype at = printed.indexOf(QString::fromUtf8(reference));
        EXPECT_GT(at, previous) << reference << "\n" << printed.toStdString();
        previous = at;
    }
}

TEST_F(PrintingTest, TheListingAsksForDaysAndGroupsThemByDay) {
    createReminder("Consulta", "08:00");
    QString text;
    auto asked = whenModal([&](QDialog& range) {
        EXPECT_EQ(range.objectName(), "dlgPeriodo");
        // Starts on the selected month.
        EXPECT_EQ(range.findChild<QDateEdit*>("dtpDe")->date(), QDate(2026, 3, 1));
        EXPECT_EQ(range.findChild<QDateEdit*>("dtpAte")->date(), QDate(2026, 3, 31));
        range.findChild<QDateEdit*>("dtpDe")->setDate(QDate(2026, 3, 10));
        range.findChild<QDateEdit*>("dtpAte")->setDate(QDate(2026, 4, 20));
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            text = printedText(preview);
            preview.reject();
        });
        range.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    agendaWindow()->findChild<QAction*>("mnuListagem")->trigger();
    ASSERT_TRUE(*asked);
    for (const char* expected : {"Listagem de lembretes", "De 10/03/2026 a 20/04/2026",
                                 "Quarta, 11/03/2026", "Consulta", "08:00"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    }

    // A range that ends before it starts is refused with a message, nothing printed.
    QString refused;
    auto again = whenModal([&](QDialog& range) {
        range.findChild<QDateEdit*>("dtpDe")->setDate(QDate(2026, 3, 20));
        range.findChild<QDateEdit*>("dtpAte")->setDate(QDate(2026, 3, 10));
        answerMessageBox("OK", &refused);
        range.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    agendaWindow()->findChild<QAction*>("mnuListagem")->trigger();
    ASSERT_TRUE(*again);
    EXPECT_EQ(refused,
              QString::fromUtf8("A data final da listagem deve ser igual ou posterior à inicial."));
}

TEST_F(PrintingTest, ThePageSetupIsRemembered) {
    QSettings().remove(QStringLiteral("impressao"));
    auto ran = whenModal<QPageSetupDialog>([](QPageSetupDialog& setup) {
        auto* landscape = setup.findChild<QRadioButton*>("landscape");
        ASSERT_NE(landscape, nullptr);
        landscape->click();
        setup.accept();
    });
    agendaWindow()->findChild<QAction*>("mnuConfigImpressora")->trigger();
    ASSERT_TRUE(*ran);
    EXPECT_EQ(window().services().Printer().pageLayout().orientation(), QPageLayout::Landscape);
    // A later session's printer starts from it.
    QPrinter next;
    loadPageSetup(next);
    EXPECT_EQ(next.pageLayout().orientation(), QPageLayout::Landscape);
    QSettings().remove(QStringLiteral("impressao"));
}

}  // namespace
}  // namespace lembrete::testing
