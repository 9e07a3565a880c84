// Renders each screen to PNG (offscreen), so that a change of a layout shows in the pictures:
// agenda.png, editor-geral.png, editor-repeticoes.png, editor-descricao.png, ir-para-dia.png.
// They go to the folder named by LEMBRETE_SCREENSHOTS (docs/screenshots refreshes the README's
// pictures), else to the build folder.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

void save(QWidget& widget, const QString& name) {
    const QString path = QDir(screenshotFolder()).filePath(name);
    const QPixmap picture = widget.grab();
    EXPECT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
}

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
    save(*agendaWindow(), "agenda.png");

    auto editor = whenModal([&](QDialog& dialog) {
        auto* tabs = dialog.findChild<QTabWidget*>("pgcGeral");
        save(dialog, "editor-geral.png");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QTest::mouseClick(dialog.findChild<QLabel*>("panSemanal"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel*>("panSeg"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel*>("panQua"), Qt::LeftButton);
        save(dialog, "editor-repeticoes.png");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
        save(dialog, "editor-descricao.png");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    clickCell(0, 4, true);
    EXPECT_TRUE(*editor);

    auto goToDay = whenModal([&](QDialog& dialog) {
        save(dialog, "ir-para-dia.png");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("btnIrParaDia"), Qt::LeftButton);
    EXPECT_TRUE(*goToDay);
}

}  // namespace
}  // namespace lembrete::testing
