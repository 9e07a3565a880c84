// Renders each screen to PNG (offscreen), so that a change of a layout shows in the pictures:
// agenda.png, editor-geral.png, editor-repeticoes.png, editor-descricao.png, ir-para-dia.png,
// and guia.png (the user guide that F1 opens on the editor's "Repetições" tab).
// They go to the folder named by LEMBRETE_SCREENSHOTS (docs/screenshots refreshes the README's
// pictures), else to the build folder.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using ScreensTest = ClientFixture;

TEST_F(ScreensTest, RendersEveryScreen) {
    createReminder(
        "Reunião com a diretoria", "09:30", true,
        "<p><b>Pauta:</b> orçamento de 2026</p><ul><li>vendas</li><li>compras</li></ul>");
    createReminder("Ligar para o fornecedor", "14:00", false, "<p>Pedido 4471</p>");
    createReminder("Enviar relatório mensal", "17:15", true, "");
    clickButton(agenda<QCheckBox>("ckcRealizados"));
    clickCell(2, 0);  // one done, to show both pictures of the "Ok" column
    clickCell(1, 4);
    agendaWindow()->resize(820, 580);
    QApplication::processEvents();
    saveScreenshot(*agendaWindow(), "agenda.png");

    auto editor = whenModal([&](QDialog& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>("pgcGeral");
        saveScreenshot(dialog, "editor-geral.png");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QTest::mouseClick(dialog.findChild<QLabel*>("panSemanal"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel*>("panSeg"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel*>("panQua"), Qt::LeftButton);
        saveScreenshot(dialog, "editor-repeticoes.png");
        const auto pressF1 = [&] {
            activate(dialog);
            tabs->currentWidget()->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        };
        pressF1();
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            if (shown->objectName() == "frmAjuda" && shown->isVisible()) {
                // The picture's size; F1 again brings the section back to the top.
                shown->resize(640, 420);
                pressF1();
                saveScreenshot(*shown, "guia.png");
                shown->close();
            }
        }
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        saveScreenshot(dialog, "editor-descricao.png");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    clickCell(0, 4, true);
    EXPECT_TRUE(*editor);

    auto goToDay = whenModal([&](QDialog& dialog) {
        saveScreenshot(dialog, "ir-para-dia.png");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("btnIrParaDia"), Qt::LeftButton);
    EXPECT_TRUE(*goToDay);
}

}  // namespace
}  // namespace lembrete::testing
