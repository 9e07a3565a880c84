// TransportSecurity: how the client's connection to the server is secured, and where a server
// address says so.
//
// Plain HTTP, or TLS with the server's certificate checked against the system's trusted
// certificates, or against the certificates of `caFile` only when it is set (a server with a
// self-signed certificate). An address may carry its scheme: "https://HOST" asks for TLS,
// "http://HOST" for plain HTTP; without one the caller's own choice stands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lembrete {

struct TransportSecurity {
    bool tls = false;
    std::string caFile;
};

struct SchemeSplit {
    std::string_view host;    // the address without its scheme
    std::optional<bool> tls;  // nullopt: the address names no scheme
};

// Splits "https://HOST" / "http://HOST" (scheme in any letter case); other text is all host.
SchemeSplit splitScheme(std::string_view address);

}  // namespace lembrete
