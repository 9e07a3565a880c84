// HostServices: every service the module takes from the desktop client that hosts it.
//
// The client implements it with real dialogs, its busy indicator and its network transport;
// tests implement it with a scripted host. The module holds a reference for its whole life;
// the host owns everything behind it. Single-threaded: the user-interface thread calls it.
//
// What the module relies on (beyond the gateway's part, see GatewayHost):
//   - MensErro shows an error and, when asked to abort (the module always asks), abandons
//     the current operation: nothing after it runs. The throw lives here, not in the host, so
//     no host can forget it.
//   - ShowMsg shows a modal message and returns the button pressed (mrYes, mrNo ...).
//   - ChooseOption asks a question with one button per option and a cancel button.
//   - The screen cursor: crHourGlass (-11) while the module works, crDefault (0) after.
//   - Clock: "now" and "today" for every date the module defaults.
//   - CreateAppServer: the transport to the application server; the core never includes
//     network code, the host supplies it.
//   - Presenter: how forms reach the screen (TForm::Show / ShowModal / Close).
//   - Printing: PrintPreview shows a document on pages (to print or save as PDF), AskDayRange
//     asks the days of a listing, PageSetup sets paper, orientation and margins for every
//     later printout.
//   - ShowHelp opens the user guide at a section (help_sections.h); one help window, reused.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/app_server.h"
#include "data/gateway_host.h"
#include "print/print_document.h"
#include "shell/clock.h"
#include "toolkit/abandon.h"
#include "toolkit/form.h"
#include "toolkit/form_presenter.h"

namespace lembrete {

class TMessages;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1;
constexpr TMsgDlgButtons mbNo = 2;
constexpr TMsgDlgButtons mbOK = 4;
constexpr TMsgDlgButtons mbCancel = 8;
constexpr TMsgDlgButtons mbHelp = 16;

constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

class HostServices : public GatewayHost {
  public:
    // Host name or address and TCP port of the application server.
    virtual std::string WebURL() const = 0;
    virtual int WebPort() const = 0;

    // Shows `text` as an error; with `abort` it then abandons the operation (throws Abandon).
    void MensErro(const std::string& text, bool abort = true) {
        ShowError(text);
        if (abort) {
            throw Abandon();
        }
    }
    // Shows a modal message and returns the button pressed.
    virtual TModalResult ShowMsg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                 int helpContext) = 0;
    // The same with the text of `key` in `messages`.
    TModalResult ShowMsg(const TMessages& messages, std::string_view key, TMsgDlgType type,
                         TMsgDlgButtons buttons, int helpContext);

    // Asks `question` with one button per option, in order, plus cancel; returns the index of
    // the option chosen, or kOptionCancelled.
    static constexpr int kOptionCancelled = -1;
    virtual int ChooseOption(const std::string& question,
                             const std::vector<std::string>& options) = 0;

    virtual int ScreenCursor() const = 0;
    virtual void SetScreenCursor(int cursor) = 0;

    virtual const lembrete::Clock& Clock() const = 0;
    DateTime Now() const { return Clock().Now(); }
    Date Today() const { return Clock().Today(); }

    // A new, not yet used transport to `serverName` at host:port.
    virtual std::unique_ptr<AppServer> CreateAppServer(const std::string& host, int port,
                                                       const std::string& serverName) = 0;

    virtual FormPresenter& Presenter() = 0;

    // A print preview of `document`, from which the user prints it or saves it as PDF.
    virtual void PrintPreview(const PrintDocument& document) = 0;
    // Asks for a range of days (starting from `range`); false when the user cancelled.
    virtual bool AskDayRange(const std::string& caption, DayRange& range) = 0;
    // The page setup, remembered for every later printout.
    virtual void PageSetup() = 0;

    // Shows the user guide at `section` (one of help_sections.h; empty: its beginning), in the
    // one help window the host keeps, brought to the front; the screen in use stays open.
    virtual void ShowHelp(std::string_view section) = 0;

  protected:
    // The error dialog of MensErro.
    virtual void ShowError(const std::string& text) = 0;
};

}  // namespace lembrete
