#include "qt/host/qt_host_services.h"

#include <QApplication>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>
#include <stdexcept>

#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "qt/help/help_key.h"
#include "qt/help/help_window.h"
#include "qt/host/busy_indicator.h"
#include "qt/module/qt_convert.h"
#include "qt/print/day_range_dialog.h"
#include "qt/print/page_settings.h"
#include "qt/print/print_preview.h"
#include "shell/help_sections.h"

namespace lembrete {
namespace {

const QString kTitle = QStringLiteral("Lembrete");

QMessageBox::Icon iconOf(TMsgDlgType type) {
    switch (type) {
        case mtWarning:
            return QMessageBox::Warning;
        case mtError:
            return QMessageBox::Critical;
        case mtInformation:
            return QMessageBox::Information;
        case mtConfirmation:
            return QMessageBox::Question;
        case mtCustom:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtHostServices::QtHostServices(ClientSession session, QWidget& window, QMdiArea& area,
                               BusyIndicator& busy, const lembrete::Clock& clock)
    : session_(std::move(session)), window_(window), area_(area), busy_(busy), clock_(clock) {}

QtHostServices::~QtHostServices() {
    if (cursor_ == crHourGlass) {
        QApplication::restoreOverrideCursor();
    }
}

Variant QtHostServices::CheckResultServ(const ServerResult& result, bool showError, int) {
    const bool reachable = result.ok() || result.error->code != rpc_error::ServerUnreachable;
    if (reachable != reachable_) {
        reachable_ = reachable;
        Q_EMIT reachabilityChanged(reachable);
    }
    if (result.ok()) {
        return result.payload;
    }
    if (showError) {
        // The wait layer must not hide the message the user has to read.
        const bool busy = busy_.active();
        if (busy) {
            busy_.hide();
        }
        QMessageBox::warning(&window_, kTitle, QString::fromStdString(result.error->message));
        if (busy) {
            busy_.show();
        }
    }
    throw Abandon();
}

void QtHostServices::ActiveShowAvi(int) {
    busy_.begin();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtHostServices::DeactiveShowAvi() {
    if (busy_.active()) {
        busy_.end();
        QApplication::restoreOverrideCursor();
    }
}

void QtHostServices::AtualizaLocalCache(const std::vector<std::string>& tables) {
    QStringList names;
    for (const auto& table : tables) {
        names << QString::fromStdString(table);
    }
    Q_EMIT cacheRefreshed(names);
}

TModalResult QtHostServices::ShowMsg(const std::string& text, TMsgDlgType type,
                                     TMsgDlgButtons buttons, int) {
    QMessageBox box(iconOf(type), kTitle, QString::fromStdString(text), QMessageBox::NoButton,
                    &window_);
    const struct {
        TMsgDlgButtons flag;
        QMessageBox::StandardButton button;
        TModalResult result;
    } kinds[] = {{mbYes, QMessageBox::Yes, mrYes},
                 {mbNo, QMessageBox::No, mrNo},
                 {mbOK, QMessageBox::Ok, mrOk},
                 {mbCancel, QMessageBox::Cancel, mrCancel},
                 {mbHelp, QMessageBox::Help, mrNone}};
    for (const auto& kind : kinds) {
        if ((buttons & kind.flag) != 0) {
            box.addButton(kind.button);
        }
    }
    if (box.buttons().isEmpty()) {
        box.addButton(QMessageBox::Ok);
    }
    if (QAbstractButton* yes = box.button(QMessageBox::Yes)) {
        yes->setText(QStringLiteral("&Sim"));
        box.setDefaultButton(QMessageBox::Yes);
    }
    if (QAbstractButton* no = box.button(QMessageBox::No)) {
        no->setText(QStringLiteral("&Não"));
    }
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& kind : kinds) {
        if (kind.button == pressed) {
            return kind.result;
        }
    }
    return mrCancel;
}

int QtHostServices::ChooseOption(const std::string& question,
                                 const std::vector<std::string>& options) {
    QMessageBox box(QMessageBox::Question, kTitle, QString::fromStdString(question),
                    QMessageBox::NoButton, &window_);
    std::vector<QAbstractButton*> buttons;
    for (const std::string& option : options) {
        buttons.push_back(box.addButton(QString::fromStdString(option), QMessageBox::AcceptRole));
    }
    box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    if (!buttons.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    }
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? kOptionCancelled : static_cast<int>(chosen - buttons.begin());
}

void QtHostServices::SetScreenCursor(int cursor) {
    if (cursor == crHourGlass && cursor_ != crHourGlass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (cursor != crHourGlass && cursor_ == crHourGlass) {
        QApplication::restoreOverrideCursor();
    }
    cursor_ = cursor;
}

std::unique_ptr<AppServer> QtHostServices::CreateAppServer(const std::string& host, int port,
                                                           const std::string&) {
    auto server = std::make_unique<JsonRpcAppServer>(host, port, session_.security);
    server->setToken(session_.token);
    return server;
}

FormPresenter& QtHostServices::Presenter() {
    if (presenter_ == nullptr) {
        throw std::logic_error("o módulo ainda não entregou seu apresentador de formulários");
    }
    return *presenter_;
}

void QtHostServices::ShowError(const std::string& text) {
    QMessageBox::critical(&window_, kTitle, QString::fromStdString(text));
}

std::function<void()> QtHostServices::printingHelp() {
    return [this] { ShowHelp(help_section::kPrinting); };
}

QPrinter& QtHostServices::Printer() {
    if (printer_ == nullptr) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        loadPageSetup(*printer_);
    }
    return *printer_;
}

void QtHostServices::PrintPreview(const PrintDocument& document) {
    showPrintPreview(document, Printer(), &window_, printingHelp());
}

bool QtHostServices::AskDayRange(const std::string& caption, DayRange& range) {
    QDate first = toQDate(range.first);
    QDate last = toQDate(range.last);
    if (!askDayRange(&window_, QString::fromStdString(caption), first, last, printingHelp())) {
        return false;
    }
    range = DayRange{fromQDate(first), fromQDate(last)};
    return true;
}

void QtHostServices::PageSetup() {
    QPageSetupDialog dialog(&Printer(), &window_);
    dialog.setObjectName(QStringLiteral("dlgConfigurarImpressora"));
    addHelpKey(dialog, printingHelp());
    if (dialog.exec() == QDialog::Accepted) {
        savePageSetup(Printer());
    }
}

void QtHostServices::ShowHelp(std::string_view section) {
    if (help_ == nullptr) {
        help_ = std::make_unique<HelpWindow>();
    }
    QWidget* modal = QApplication::activeModalWidget();
    help_->showSection(QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())),
                       modal != nullptr ? modal : &window_);
}

}  // namespace lembrete
