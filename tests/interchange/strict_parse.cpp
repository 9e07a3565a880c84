#include "interchange/strict_parse.h"

#include <libical/ical.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace lembrete::testing {
namespace {

void collectErrors(icalcomponent* component, std::vector<std::string>& problems) {
    for (icalproperty* error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         error; error = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        problems.push_back(icalproperty_get_xlicerror(error));
    }
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         child; child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        collectErrors(child, problems);
    }
}

}  // namespace

std::vector<std::string> libicalProblems(const std::string& text) {
    std::vector<std::string> problems;
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> root(
        icalparser_parse_string(text.c_str()), icalcomponent_free);
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT) {
        return {"não é um VCALENDAR"};
    }
    collectErrors(root.get(), problems);
    if (!icalrestriction_check(root.get())) {
        problems.push_back("restrições do RFC 5545 não atendidas");
        collectErrors(root.get(), problems);
    }
    return problems;
}

int independentEventCount(const std::string& text) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("lembrete-strict-" + std::to_string(::getpid()) + ".ics");
    std::ofstream(path, std::ios::binary) << text;
    const std::string command =
        std::string(LEMBRETE_PYTHON) + " " + LEMBRETE_STRICT_CHECK + " " + path.string() + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    std::array<char, 4096> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get())) {
        output += buffer.data();
    }
    const int status = ::pclose(pipe.release());
    std::filesystem::remove(path);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("o leitor independente recusou o arquivo: " + output);
    }
    return std::stoi(output);
}

}  // namespace lembrete::testing
