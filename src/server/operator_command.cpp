#include "server/operator_command.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <stdexcept>

#include "server/calendar_feed.h"
#include "server/command_line.h"
#include "server/operator_accounts.h"
#include "server/password_prompt.h"

namespace lembrete {
namespace {

using Verb = std::function<void(StoreConnection&, const CommandLine&, const std::string& code)>;

void add(StoreConnection& connection, const CommandLine&, const std::string& code) {
    OperatorAccounts::add(connection, code, readNewPassword());
    std::cerr << "Operador " << code << " incluído." << std::endl;
}

void changePassword(StoreConnection& connection, const CommandLine&, const std::string& code) {
    if (!OperatorAccounts::exists(connection, code)) {
        throw std::runtime_error("O operador " + code + " não existe.");
    }
    OperatorAccounts::changePassword(connection, code, readNewPassword());
    std::cerr << "Senha do operador " << code << " alterada." << std::endl;
}

void list(StoreConnection& connection, const CommandLine&, const std::string&) {
    const auto entries = OperatorAccounts::list(connection);
    for (const auto& entry : entries) {
        std::cout << entry.code << (entry.enabled ? "" : "\tdesativado") << '\n';
    }
    std::cout << std::flush;
    if (entries.empty()) {
        std::cerr << "Nenhum operador cadastrado." << std::endl;
    }
}

void enable(StoreConnection& connection, const CommandLine&, const std::string& code) {
    OperatorAccounts::setEnabled(connection, code, true);
    std::cerr << "Operador " << code << " ativado." << std::endl;
}

void disable(StoreConnection& connection, const CommandLine&, const std::string& code) {
    OperatorAccounts::setEnabled(connection, code, false);
    std::cerr << "Operador " << code << " desativado; as suas sessões terminaram." << std::endl;
}

void remove(StoreConnection& connection, const CommandLine& line, const std::string& code) {
    if (!line.confirmed) {
        throw std::runtime_error("Remover o operador " + code +
                                 " apaga também todos os seus lembretes. Para confirmar, repita "
                                 "o comando com --yes.");
    }
    OperatorAccounts::remove(connection, code);
    std::cerr << "Operador " << code << " removido, com os seus lembretes." << std::endl;
}

void renewFeed(StoreConnection& connection, const CommandLine&, const std::string& code) {
    const auto token = CalendarFeed::renewToken(connection, code);
    std::cout << token << std::endl;
    std::cerr << "Novo endereço do calendário do operador " << code
              << " (o anterior deixou de valer): http://HOST:PORTA" << CalendarFeed::path(token)
              << std::endl;
}

const std::map<std::string, Verb>& verbs() {
    static const std::map<std::string, Verb> table{
        {"add", add},         {"passwd", changePassword}, {"list", list},      {"enable", enable},
        {"disable", disable}, {"remove", remove},         {"feed", renewFeed},
    };
    return table;
}

}  // namespace

void runOperatorCommand(const CommandLine& line, StoreConnection& connection) {
    const auto& known = CommandLine::operatorVerbs();
    const bool takesCode = std::any_of(known.begin(), known.end(), [&](const auto& verb) {
        return verb.takesCode && verb.name == line.operatorVerb;
    });
    const auto code = takesCode ? OperatorAccounts::checkedCode(line.operatorCode) : std::string();
    verbs().at(line.operatorVerb)(connection, line, code);
}

}  // namespace lembrete
