#include "support/scripted_host.h"

#include <stdexcept>
#include <utility>

#include "support/recording_app_server.h"

namespace lembrete::testing {

ScriptedHost::ScriptedHost() : clock_(DateTime::fromParts({2007, 7, 16}, 10, 30)) {}

void ScriptedHost::ServeWith(FunctionAppServer::Handler handler) {
    factory_ = [handler = std::move(handler)](const std::string&, int, const std::string&) {
        return std::make_unique<FunctionAppServer>(handler);
    };
}

std::vector<std::string> ScriptedHost::TakeCalls() {
    return std::exchange(calls_, {});
}

Variant ScriptedHost::CheckResultServ(const ServerResult& result, bool showError, int code) {
    if (result.ok()) {
        return result.payload;
    }
    record("CheckResultServ(" + result.error->message + ")");
    if (showError) {
        errors_.push_back(result.error->message);
    }
    (void)code;
    throw Abandon();
}

void ScriptedHost::ActiveShowAvi(int kind) {
    record("ActiveShowAvi(" + std::to_string(kind) + ")");
}

void ScriptedHost::DeactiveShowAvi() {
    record("DeactiveShowAvi");
}

void ScriptedHost::AtualizaLocalCache(const std::vector<std::string>& tables) {
    std::string list;
    for (const auto& table : tables) {
        list += (list.empty() ? "" : ",") + table;
    }
    record("AtualizaLocalCache(" + list + ")");
}

int ScriptedHost::ChooseOption(const std::string& question,
                               const std::vector<std::string>& options) {
    std::string call = "ChooseOption(" + question;
    for (const std::string& option : options) {
        call += "|" + option;
    }
    record(call + ")");
    if (choices_.empty()) {
        throw std::logic_error("ChooseOption sem resposta roteirizada: " + question);
    }
    const int choice = choices_.front();
    choices_.pop_front();
    return choice;
}

void ScriptedHost::PrintPreview(const PrintDocument& document) {
    record("PrintPreview(" + document.title + ")");
    printed_.push_back(document);
}

bool ScriptedHost::AskDayRange(const std::string& caption, DayRange& range) {
    record("AskDayRange(" + caption + ")");
    if (!dayRange_) {
        return false;
    }
    range = *dayRange_;
    dayRange_.reset();
    return true;
}

TModalResult ScriptedHost::ShowMsg(const std::string& text, TMsgDlgType, TMsgDlgButtons, int) {
    record("ShowMsg(" + text + ")");
    if (answers_.empty()) {
        throw std::logic_error("ShowMsg sem resposta roteirizada: " + text);
    }
    const TModalResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedHost::SetScreenCursor(int cursor) {
    cursor_ = cursor;
    record("Cursor(" + std::to_string(cursor) + ")");
}

std::unique_ptr<AppServer> ScriptedHost::CreateAppServer(const std::string& host, int port,
                                                         const std::string& serverName) {
    record("CreateAppServer(" + host + ":" + std::to_string(port) + "," + serverName + ")");
    if (!factory_) {
        throw std::logic_error("nenhum transporte fornecido pelo teste");
    }
    return std::make_unique<RecordingAppServer>(factory_(host, port, serverName), calls_);
}

void ScriptedHost::ShowError(const std::string& text) {
    record("MensErro(" + text + ")");
    errors_.push_back(text);
}

void ScriptedHost::ShowForm(TForm& form) {
    record("Show(" + form.Name() + ")");
    form.Activate();
}

void ScriptedHost::ShowFormModal(TForm& form) {
    record("ShowModal(" + form.Name() + ")");
    const auto script = modalScripts_.find(form.Name());
    if (script == modalScripts_.end()) {
        throw std::logic_error("nenhum roteiro para o diálogo " + form.Name());
    }
    form.Activate();
    script->second(form);
}

void ScriptedHost::CloseForm(TForm& form) {
    record("Close(" + form.Name() + ")");
}

}  // namespace lembrete::testing
