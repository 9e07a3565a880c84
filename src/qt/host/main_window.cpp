#include "qt/host/main_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "qt/alarm/alarm_desk.h"
#include "qt/alarm/alarm_window.h"
#include "qt/help/help_key.h"
#include "qt/host/app_icon.h"
#include "qt/host/busy_indicator.h"
#include "qt/host/module_library.h"
#include "qt/host/qt_host_services.h"
#include "shell/help_sections.h"

namespace lembrete {
namespace {

constexpr int kCacheNoticeMs = 3000;

}  // namespace

MainWindow::MainWindow(const ClientSession& session, const Clock& clock)
    : area_(new QMdiArea(this)),
      busy_(new BusyIndicator(this)),
      services_(std::make_unique<QtHostServices>(session, *this, *area_, *busy_, clock)),
      module_(std::make_unique<ModuleLibrary>()),
      alarms_(std::make_unique<AlarmDesk>(
          services_->CreateAppServer(session.host, session.port, "lmb00300.rdmLembrete"),
          session.operatorCode, clock, *this)) {
    setObjectName("frmPrincipal");
    setWindowTitle(QStringLiteral("Lembrete"));
    // Every window of the client, the task bar and the tray take the application's icon.
    QApplication::setWindowIcon(appIcon());
    area_->setObjectName("mdiArea");
    area_->setBackground(QColor(0x5a, 0x6e, 0x8c));
    setCentralWidget(area_);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Lembretes"));
    QAction* agenda = menu->addAction(QStringLiteral("&Agenda"), this, &MainWindow::openAgenda);
    agenda->setObjectName("mnuAgenda");
    menu->addSeparator();
    menu->addAction(QStringLiteral("Sai&r"), this, &QWidget::close);

    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Janelas"));
    windows->addAction(QStringLiteral("&Cascata"), area_, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Lado a lado"), area_, &QMdiArea::tileSubWindows);

    // F1 is each screen's own key (the guide at its section); this item and keyPressEvent are
    // for the main window with no screen taking it. Alt+A is the agenda's own "Ajuda".
    QMenu* help = menuBar()->addMenu(QStringLiteral("Aj&uda"));
    help->addAction(QStringLiteral("&Guia do usuário\tF1"), this,
                    [this] { services_->ShowHelp({}); })
        ->setObjectName("mnuGuiaPrincipal");

    auto* who = new QLabel(
        QStringLiteral("Operador: %1   Servidor: %2:%3")
            .arg(QString::fromStdString(session.operatorCode), QString::fromStdString(session.host))
            .arg(session.port));
    who->setObjectName("lblSessao");
    // Says so for as long as the server does not answer: the lists on screen are empty then.
    auto* link = new QLabel;
    link->setObjectName("lblConexao");
    link->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    statusBar()->addPermanentWidget(link);
    statusBar()->addPermanentWidget(who);
    connect(services_.get(), &QtHostServices::reachabilityChanged, link, [link](bool reachable) {
        link->setText(reachable ? QString() : QStringLiteral("Servidor inacessível"));
    });
    connect(services_.get(), &QtHostServices::cacheRefreshed, this, [this](const QStringList& t) {
        if (t.contains(QStringLiteral("ATIVPESSOAL"))) {
            statusBar()->showMessage(QStringLiteral("Lembretes gravados no servidor."),
                                     kCacheNoticeMs);
        }
    });
    connect(&alarms_->window(), &AlarmWindow::openRequested, this, &MainWindow::openReminder);
    addHelpKey(alarms_->window(), [this] { services_->ShowHelp(help_section::kAlarms); });
    connect(alarms_.get(), &AlarmDesk::remindersChanged, this, [this] {
        // A dialog of the module may be using the list; the next change reloads it.
        if (module_->loaded() && QApplication::activeModalWidget() == nullptr) {
            module_->RecarregaAgenda();
        }
    });
    alarms_->start();
    resize(1000, 680);
}

MainWindow::~MainWindow() {
    // The module's windows go while the services they use still exist.
    module_.reset();
}

void MainWindow::openReminder(const QString& number, QDate day) {
    if (!openAgenda()) {
        return;
    }
    const std::string reminder = number.toStdString();
    module_->MostraLembrete(reminder, static_cast<std::uint16_t>(day.year()),
                            static_cast<std::uint16_t>(day.month()),
                            static_cast<std::uint16_t>(day.day()));
    module_->CriaManutAFazer(reminder, true);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        services_->ShowHelp({});
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MainWindow::openAgenda() {
    if (!module_->load(*services_)) {
        QMessageBox::critical(this, QStringLiteral("Lembrete"), module_->errorString());
        return false;
    }
    module_->IniProc();
    return true;
}

}  // namespace lembrete
