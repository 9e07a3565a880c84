// The user guide on real widgets: F1 on every screen (and "Ajuda" on each tab of the editor)
// opens the one help window at that screen's section, readable while a modal dialog waits; the
// keys the guide's table lists are the program's shortcuts, and the anchors the screens and the
// guide's own links ask for are headings of the guide.
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <set>

#include "client_fixture.h"
#include "qt/alarm/alarm_desk.h"
#include "qt/alarm/alarm_window.h"
#include "qt/help/help_window.h"
#include "shell/help_sections.h"

namespace lembrete::testing {
namespace {

std::vector<HelpWindow*> helpWindows() {
    std::vector<HelpWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(widget)) {
            found.push_back(help);
        }
    }
    return found;
}

QTextBrowser& browserOf(HelpWindow& help) {
    return *help.findChild<QTextBrowser*>("txtGuia");
}

// The heading of the section at the top of the visible help ("(fechada)" when none shows).
std::string headingShown() {
    const auto windows = helpWindows();
    if (windows.size() != 1 || !windows.front()->isVisible()) {
        return "(fechada)";
    }
    QTextBrowser& browser = browserOf(*windows.front());
    for (QTextBlock block = browser.cursorForPosition(QPoint(4, 4)).block(); block.isValid();
         block = block.previous()) {
        if (block.blockFormat().headingLevel() > 0) {
            return block.text().toStdString();
        }
    }
    return "(sem título)";
}

QString guideText() {
    QFile guide(QString::fromLatin1(HelpWindow::kGuideResource));
    EXPECT_TRUE(guide.open(QIODevice::ReadOnly));
    return QString::fromUtf8(guide.readAll());
}

// The keys of the guide's table of shortcuts (its first column), as the program reads them.
std::vector<QKeySequence> guideShortcuts() {
    const QString text = guideText();
    const qsizetype start = text.indexOf(QStringLiteral("## Atalhos de teclado"));
    EXPECT_GE(start, 0);
    std::vector<QKeySequence> keys;
    for (const QString& line : text.mid(start).split('\n')) {
        const QStringList cells = line.split('|');
        if (cells.size() < 4 || cells[1].trimmed() == "Tecla" || cells[1].startsWith("---")) {
            continue;
        }
        const QKeySequence key =
            QKeySequence::fromString(cells[1].trimmed(), QKeySequence::NativeText);
        EXPECT_FALSE(key.isEmpty()) << cells[1].toStdString();
        keys.push_back(key);
    }
    return keys;
}

class HelpTest : public ClientFixture {
  protected:
    // Presses F1 on `focused`, or on the control of `window` that holds the focus.
    static void pressF1(QWidget& window, QWidget* focused) {
        activate(window);
        if (focused != nullptr) {
            focused->setFocus();
        } else if (QApplication::focusWidget() == nullptr ||
                   !window.isAncestorOf(QApplication::focusWidget())) {
            window.nextInFocusChain()->setFocus();
        }
        QTest::keyClick(
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window,
            Qt::Key_F1);
    }
};

TEST_F(HelpTest, F1OnTheAgendaAndItsViewsOpensTheirSectionInOneWindow) {
    auto* grid = agenda<QTableView>("dbsAFazer");
    pressF1(window(), grid);
    EXPECT_EQ(headingShown(), "Agenda");

    QTest::mouseClick(agenda<QAbstractButton>("sbtSemana"), Qt::LeftButton);
    pressF1(window(), grid);
    EXPECT_EQ(headingShown(), "Dia, Semana e Mês");
    QTest::mouseClick(agenda<QAbstractButton>("sbtMes"), Qt::LeftButton);
    // The menu item does what the key does.
    agendaWindow()->findChild<QAction*>("mnuGuia")->trigger();
    EXPECT_EQ(headingShown(), "Dia, Semana e Mês");
    QTest::mouseClick(agenda<QAbstractButton>("sbtDia"), Qt::LeftButton);
    pressF1(window(), grid);
    EXPECT_EQ(headingShown(), "Agenda");

    // Closed by the user and asked for again: the same window comes back.
    HelpWindow* first = helpWindows().front();
    first->close();
    pressF1(window(), grid);
    EXPECT_EQ(headingShown(), "Agenda");
    EXPECT_EQ(helpWindows(), std::vector<HelpWindow*>{first});

    // Where no screen takes F1, the main window opens the guide at its beginning.
    activate(window());
    if (QWidget* focused = QApplication::focusWidget()) {
        focused->clearFocus();
    }
    QTest::keyClick(&window(), Qt::Key_F1);
    EXPECT_EQ(headingShown(), "Guia do usuário");
    EXPECT_EQ(helpWindows().size(), 1U);
}

TEST_F(HelpTest, F1AndAjudaInTheEditorOpenTheSectionOfTheTabShown) {
    using Headings = std::vector<std::string>;
    const Headings tabs = {"Editor: Geral", "Editor: Repetições", "Editor: Descrição"};
    Headings byKey;
    Headings byButton;
    auto ran = whenModal([&](QDialog& dialog) {
        auto* pages = dialog.findChild<QTabWidget*>("pgcGeral");
        for (int tab = 0; tab < pages->count(); ++tab) {
            QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {},
                              pages->tabBar()->tabRect(tab).center());
            pressF1(dialog, pages->currentWidget());
            byKey.push_back(headingShown());
            helpWindows().front()->close();
            QTest::mouseClick(dialog.findChild<QPushButton*>("bitAjuda"), Qt::LeftButton);
            byButton.push_back(headingShown());
        }
        // The guide is read while the editor waits: a link in it is followed.
        HelpWindow& help = *helpWindows().front();
        QTextBrowser& browser = browserOf(help);
        help.showSection(QString::fromUtf8(help_section::kEditorGeneral.data(),
                                           help_section::kEditorGeneral.size()),
                         &dialog);
        const QTextCursor found = browser.document()->find(
            QStringLiteral("veja Alarmes"), browser.cursorForPosition(QPoint(4, 4)).position());
        ASSERT_FALSE(found.isNull());
        QTextCursor inLink(browser.document());
        inLink.setPosition(found.selectionEnd() - 3);
        const QPoint at = browser.viewport()->mapTo(&help, browser.cursorRect(inLink).center());
        QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {}, at);
        EXPECT_EQ(headingShown(), "Alarmes");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(byKey, tabs);
    EXPECT_EQ(byButton, tabs);
    EXPECT_EQ(helpWindows().size(), 1U);
}

TEST_F(HelpTest, F1InTheDialogsAndTheAlarmWindowOpensTheirSection) {
    // "Imprimir" opens its preview only for a list with rows.
    createReminder("Para imprimir", "09:00");
    const struct {
        const char* opener;  // the agenda's button or menu item
        const char* dialog;
        const char* heading;
    } dialogs[] = {{"btnIrParaDia", "frmIrParaDia", "Ir para dia"},
                   {"sbtProcurar", "frmProcurar", "Procurar em todas as datas"},
                   {"mnuExportar", "frmExportar", "Importar e exportar"},
                   {"mnuCalendario", "frmCalendario", "Importar e exportar"},
                   {"mnuListagem", "dlgPeriodo", "Impressão"},
                   {"sbtImprimir", "dlgImprimir", "Impressão"}};
    for (const auto& one : dialogs) {
        std::string shown = "(não abriu)";
        QString name;
        auto ran = whenModal([&](QDialog& dialog) {
            name = dialog.objectName();
            pressF1(dialog, nullptr);
            shown = headingShown();
            helpWindows().front()->close();
            dialog.reject();
        });
        if (auto* button = agendaWindow()->findChild<QAbstractButton*>(one.opener)) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            agendaWindow()->findChild<QAction*>(one.opener)->trigger();
        }
        QTRY_VERIFY(*ran);
        EXPECT_TRUE(name.startsWith(one.dialog)) << name.toStdString();
        EXPECT_EQ(shown, one.heading) << one.dialog;
    }

    AlarmWindow& alarms = window().alarms().window();
    alarms.show();
    pressF1(alarms, nullptr);
    EXPECT_EQ(headingShown(), "Alarmes");
    EXPECT_EQ(helpWindows().size(), 1U);
}

TEST_F(HelpTest, EveryKeyOfTheGuidesTableIsAShortcutOfTheAgendaAndTheOtherWayRound) {
    std::set<QKeySequence> program;
    for (const QShortcut* shortcut : agendaWindow()->findChildren<QShortcut*>()) {
        program.insert(shortcut->key());
    }
    // The module's keys are all QShortcuts; the window's own (the MDI system menu) are not the
    // guide's business, but a key the guide lists may be one.
    const std::set<QKeySequence> screen = program;
    for (const QAction* action : agendaWindow()->findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty()) {
            program.insert(action->shortcut());
        }
    }
    const std::vector<QKeySequence> listed = guideShortcuts();
    EXPECT_GE(listed.size(), 10U);
    for (const QKeySequence& key : listed) {
        EXPECT_TRUE(program.count(key) == 1) << key.toString().toStdString();
    }
    const std::set<QKeySequence> documented(listed.begin(), listed.end());
    for (const QKeySequence& key : screen) {
        EXPECT_TRUE(documented.count(key) == 1)
            << "atalho fora do guia: " << key.toString().toStdString();
    }
}

TEST_F(HelpTest, EveryAnchorTheScreensAndTheGuideAskForIsAHeading) {
    HelpWindow help;
    const QStringList anchors = help.anchors();
    for (const std::string_view section : help_section::kAll) {
        EXPECT_TRUE(anchors.contains(QString::fromUtf8(section.data(), section.size()))) << section;
    }
    const QRegularExpression links(QStringLiteral("\\]\\(#([^)]+)\\)"));
    int count = 0;
    for (const auto& link : links.globalMatch(guideText())) {
        ++count;
        EXPECT_TRUE(anchors.contains(link.captured(1))) << link.captured(1).toStdString();
    }
    EXPECT_GT(count, 0);
    const struct {
        const char* heading;
        const char* anchor;
    } made[] = {{"Editor: Repetições", "editor-repetições"},
                {"Séries e \"Aplicar a:\"", "séries-e-aplicar-a"},
                {"Dia, Semana e Mês", "dia-semana-e-mês"},
                {"Várias seleções e Desfazer", "várias-seleções-e-desfazer"},
                {"snake_case e-hífen", "snake_case-e-hífen"}};
    for (const auto& one : made) {
        EXPECT_EQ(HelpWindow::anchorOf(QString::fromUtf8(one.heading)),
                  QString::fromUtf8(one.anchor));
    }
}

}  // namespace
}  // namespace lembrete::testing
