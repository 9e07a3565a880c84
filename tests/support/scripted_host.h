// ScriptedHost: the host services for tests.
//
// It records every action the module asks of the host, in order, as short strings
// ("Cursor(-11)", "ActiveShowAvi(1)", "MensErro(Descrição deve ser informada.)",
// "ChooseOption(Aplicar a:|Somente este lembrete|...)",
// "ShowMsg(Deseja cancelar a atividade?)", "ShowModal(frmIrParaDia)"); plain queries
// (Operador, WebURL, WebPort, the clock) are not recorded. Message boxes are answered from a
// queue of scripted answers; a modal form runs the script registered for its name while it is
// "on screen"; the clock is fixed; the transport to the server is whatever factory the test
// supplies (an in-process AppServer such as FunctionAppServer, or the real JSON-RPC
// transport); every server call made through it is recorded too, in the same log
// ("GetAFazer(abc,OPERADOR,...)", see RecordingAppServer), so a test sees a write bracketed by
// the wait animation. A message box or modal
// form without a script is a test error (std::logic_error), never a silent default.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/host_services.h"
#include "support/fixed_clock.h"
#include "support/function_app_server.h"

namespace lembrete::testing {

class ScriptedHost : public HostServices, private FormPresenter {
  public:
    using TransportFactory = std::function<std::unique_ptr<AppServer>(
        const std::string& host, int port, const std::string& serverName)>;
    using ModalScript = std::function<void(TForm&)>;

    ScriptedHost();

    // --- scripting ------------------------------------------------------------------------
    void SetOperador(std::string code) { operador_ = std::move(code); }
    void SetWebURL(std::string url) { webURL_ = std::move(url); }
    void SetWebPort(int port) { webPort_ = port; }
    void SetNow(DateTime now) { clock_.Set(now); }
    void SetTransportFactory(TransportFactory factory) { factory_ = std::move(factory); }
    // Shorthand: every connection gets an in-process FunctionAppServer answering with `handler`.
    void ServeWith(FunctionAppServer::Handler handler);
    // The answers of the next ShowMsg calls, in order.
    void AnswerShowMsg(TModalResult answer) { answers_.push_back(answer); }
    std::size_t PendingAnswers() const { return answers_.size(); }
    // The answer of the next AskDayRange (no answer: the user cancels).
    void AnswerDayRange(DayRange range) { dayRange_ = range; }
    // The documents PrintPreview was given, in order.
    const std::vector<PrintDocument>& Printed() const { return printed_; }
    // The answers of the next ChooseOption calls (an option's index or kOptionCancelled).
    void AnswerChoice(int option) { choices_.push_back(option); }
    // Run by every ShowModal of the form with this name.
    void OnModal(const std::string& formName, ModalScript script) {
        modalScripts_[formName] = std::move(script);
    }

    // --- what happened --------------------------------------------------------------------
    const std::vector<std::string>& Calls() const { return calls_; }
    // The calls so far, which are then forgotten.
    std::vector<std::string> TakeCalls();
    // The texts of every error shown (MensErro and failed CheckResultServ).
    const std::vector<std::string>& Errors() const { return errors_; }

    // --- HostServices ---------------------------------------------------------------------
    Variant CheckResultServ(const ServerResult& result, bool showError, int code) override;
    void ActiveShowAvi(int kind) override;
    void DeactiveShowAvi() override;
    void AtualizaLocalCache(const std::vector<std::string>& tables) override;
    std::string Operador() const override { return operador_; }
    std::string WebURL() const override { return webURL_; }
    int WebPort() const override { return webPort_; }
    using HostServices::ShowMsg;
    TModalResult ShowMsg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int helpContext) override;
    int ChooseOption(const std::string& question, const std::vector<std::string>& options) override;
    int ScreenCursor() const override { return cursor_; }
    void SetScreenCursor(int cursor) override;
    const lembrete::Clock& Clock() const override { return clock_; }
    std::unique_ptr<AppServer> CreateAppServer(const std::string& host, int port,
                                               const std::string& serverName) override;
    FormPresenter& Presenter() override { return *this; }
    void PrintPreview(const PrintDocument& document) override;
    bool AskDayRange(const std::string& caption, DayRange& range) override;
    void PageSetup() override { record("PageSetup"); }
    void ShowHelp(std::string_view section) override {
        record("ShowHelp(" + std::string(section) + ")");
    }

  protected:
    void ShowError(const std::string& text) override;

  private:
    void ShowForm(TForm& form) override;
    void ShowFormModal(TForm& form) override;
    void CloseForm(TForm& form) override;
    void record(std::string call) { calls_.push_back(std::move(call)); }

    std::string operador_ = "OPERADOR";
    std::string webURL_ = "127.0.0.1";
    int webPort_ = 8300;
    int cursor_ = crDefault;
    FixedClock clock_;
    TransportFactory factory_;
    std::deque<TModalResult> answers_;
    std::deque<int> choices_;
    std::optional<DayRange> dayRange_;
    std::vector<PrintDocument> printed_;
    std::map<std::string, ModalScript> modalScripts_;
    std::vector<std::string> calls_;
    std::vector<std::string> errors_;
};

}  // namespace lembrete::testing
