#include "net/transport_security.h"

#include <algorithm>
#include <cctype>

namespace lembrete {
namespace {

// `prefix` is in lower case.
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char given) {
               return std::tolower(static_cast<unsigned char>(given)) == lower;
           });
}

}  // namespace

SchemeSplit splitScheme(std::string_view address) {
    for (const auto& [scheme, tls] : {std::pair{std::string_view("https://"), true},
                                      std::pair{std::string_view("http://"), false}}) {
        if (startsWithIgnoringCase(address, scheme)) {
            return {address.substr(scheme.size()), tls};
        }
    }
    return {address, std::nullopt};
}

}  // namespace lembrete
