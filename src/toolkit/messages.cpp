#include "toolkit/messages.h"

#include <stdexcept>

#include "data/utf8.h"

namespace lembrete {

void TMessages::SetMessages(std::vector<std::string> lines) {
    for (const auto& line : lines) {
        if (line.find('|') == std::string::npos) {
            throw std::invalid_argument(Name() + ": linha de mensagem sem '|': " + line);
        }
    }
    lines_ = std::move(lines);
    changed(Property::Messages);
}

void TMessages::AddMessage(std::string line) {
    auto lines = lines_;
    lines.push_back(std::move(line));
    SetMessages(std::move(lines));
}

const std::string* TMessages::find(std::string_view key) const {
    for (const auto& line : lines_) {
        const std::string_view view(line);
        if (utf8::equalIgnoringCase(view.substr(0, view.find('|')), key)) {
            return &line;
        }
    }
    return nullptr;
}

std::string TMessages::Msg(std::string_view key) const {
    const std::string* line = find(key);
    if (line == nullptr) {
        throw std::out_of_range("mensagem \"" + std::string(key) + "\" não existe em " + Name());
    }
    return line->substr(line->find('|') + 1);
}

bool TMessages::HasMsg(std::string_view key) const {
    return find(key) != nullptr;
}

}  // namespace lembrete
