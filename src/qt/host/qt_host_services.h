// QtHostServices: the host services of the desktop client, for real.
//
// Message and confirmation boxes are QMessageBox dialogs over the main window; the screen
// cursor is the application's override cursor (the hourglass is Qt's wait cursor); the wait
// animation is the main window's BusyIndicator plus the wait cursor; the cache refresh is the
// Qt signal cacheRefreshed (the client keeps no table cache of its own, the status bar shows
// it); whether the server answers is the signal reachabilityChanged; the operator and the server
// address come from the login; every transport is a JsonRpcAppServer carrying the login's session
// token; the help is one HelpWindow, made at its first use and reused. It is also the ModuleHost
// the module attaches to: the module's presenter is installed here and Presenter() answers with it.
//
// The main window owns it and outlives the module; the clock is the caller's (the system clock
// in the client, a fixed one in tests) and must outlive it. User-interface thread only.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

#include "qt/host/client_session.h"
#include "qt/module/module_host.h"
#include "shell/host_services.h"

class QPrinter;
class QWidget;

namespace lembrete {

class BusyIndicator;
class HelpWindow;

class QtHostServices : public QObject, public HostServices, public ModuleHost {
    Q_OBJECT

  public:
    QtHostServices(ClientSession session, QWidget& window, QMdiArea& area, BusyIndicator& busy,
                   const lembrete::Clock& clock);
    ~QtHostServices() override;

    const ClientSession& Session() const { return session_; }

    // --- HostServices ---------------------------------------------------------------------
    Variant CheckResultServ(const ServerResult& result, bool showError, int code) override;
    void ActiveShowAvi(int kind) override;
    void DeactiveShowAvi() override;
    void AtualizaLocalCache(const std::vector<std::string>& tables) override;
    std::string Operador() const override { return session_.operatorCode; }
    std::string WebURL() const override { return session_.host; }
    int WebPort() const override { return session_.port; }
    using HostServices::ShowMsg;
    TModalResult ShowMsg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int helpContext) override;
    int ChooseOption(const std::string& question, const std::vector<std::string>& options) override;
    int ScreenCursor() const override { return cursor_; }
    void SetScreenCursor(int cursor) override;
    const lembrete::Clock& Clock() const override { return clock_; }
    std::unique_ptr<AppServer> CreateAppServer(const std::string& host, int port,
                                               const std::string& serverName) override;
    // The module's presenter; throws std::logic_error before the module attached.
    FormPresenter& Presenter() override;
    void PrintPreview(const PrintDocument& document) override;
    bool AskDayRange(const std::string& caption, DayRange& range) override;
    void PageSetup() override;
    void ShowHelp(std::string_view section) override;
    // The printer every printout goes to, with the remembered page setup.
    QPrinter& Printer();

    // --- ModuleHost -----------------------------------------------------------------------
    HostServices& Services() override { return *this; }
    QMdiArea& MdiArea() override { return area_; }
    void SetPresenter(FormPresenter* presenter) override { presenter_ = presenter; }

  Q_SIGNALS:
    void cacheRefreshed(const QStringList& tables);
    // The server stopped or started answering (a call did not reach it, or one did again).
    void reachabilityChanged(bool reachable);

  protected:
    void ShowError(const std::string& text) override;

  private:
    // F1 in the printing dialogs.
    std::function<void()> printingHelp();

    ClientSession session_;
    QWidget& window_;
    QMdiArea& area_;
    BusyIndicator& busy_;
    const lembrete::Clock& clock_;
    FormPresenter* presenter_ = nullptr;
    int cursor_ = crDefault;
    bool reachable_ = true;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<HelpWindow> help_;
};

}  // namespace lembrete
