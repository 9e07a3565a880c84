// The client around the module as a person meets it: Qt's own dialogs and menus in Portuguese,
// a status bar that speaks plainly, and the icon of the windows and of the desktop entry.
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using ClientShellTest = ClientFixture;

TEST_F(ClientShellTest, QtsOwnMenusAndDialogsSpeakPortuguese) {
    const std::unique_ptr<QMenu> menu(
        agenda<QLineEdit>("edtReferencia")->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << action->text().section('\t', 0, 0);
    }
    EXPECT_TRUE(texts.contains("&Copiar")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Selecionar tudo")) << texts.join('|').toStdString();

    // The colour dialog of the description's tool bar ("Cores") in the editor.
    QStringList labels;
    QStringList buttons;
    auto colour = whenModal<QColorDialog>([&](QColorDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels << label->text();
        }
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            buttons << button->text();
        }
        dialog.reject();
    });
    auto editor = whenModal([&](QDialog& dialog) {
        if (dynamic_cast<QColorDialog*>(&dialog) != nullptr) {
            return;
        }
        dialog.findChild<QTabWidget*>("pgcGeral")->setCurrentIndex(2);
        for (QToolButton* tool :
             dialog.findChild<QWidget*>("FormatPanel2")->findChildren<QToolButton*>()) {
            if (tool->toolTip() == "Cores") {
                tool->click();
            }
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*editor);
    ASSERT_TRUE(*colour);
    EXPECT_TRUE(labels.contains("Cores &básicas")) << labels.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("Cancelar")) << buttons.join('|').toStdString();
}

TEST_F(ClientShellTest, TheStatusBarSaysWhatWasSavedInWords) {
    createReminder("Revisar contrato", "10:30");
    const QString shown = window().statusBar()->currentMessage();
    EXPECT_EQ(shown, "Lembretes gravados no servidor.");
    EXPECT_FALSE(shown.contains("ATIVPESSOAL"));
}

TEST_F(ClientShellTest, TheWindowsAndTheDesktopEntryCarryTheIcon) {
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    }
    EXPECT_FALSE(window().windowIcon().isNull());
    EXPECT_FALSE(agendaWindow()->windowIcon().isNull());
    // Not a blank square: the page, its binding and the bell have colours of their own.
    const QImage drawn = icon.pixmap(48, 48).toImage();
    EXPECT_EQ(drawn.pixelColor(0, 47).alpha(), 0);
    EXPECT_NE(drawn.pixelColor(24, 13), drawn.pixelColor(24, 40));

    QSettings entry(QStringLiteral(LEMBRETE_DESKTOP_ENTRY), QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    EXPECT_EQ(entry.value("Type").toString(), "Application");
    EXPECT_EQ(entry.value("Exec").toString(), "lembrete-client");
    EXPECT_EQ(entry.value("Name").toString(), "Lembrete");
    const QString iconName = entry.value("Icon").toString();
    EXPECT_EQ(iconName, "lembrete-client");
    for (const int size : {16, 48, 256}) {
        const QString file = QStringLiteral("%1/%2x%2/apps/%3.png")
                                 .arg(QStringLiteral(LEMBRETE_ICON_DIR))
                                 .arg(size)
                                 .arg(iconName);
        const QImage png(file);
        EXPECT_EQ(png.size(), QSize(size, size)) << file.toStdString();
    }
}

}  // namespace
}  // namespace lembrete::testing
