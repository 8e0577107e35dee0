// What the TLS examination tests see of a server, as lines, and where they look: in this process, or through the
// Windows build's examining program under Wine when the Windows build's test list passes the emulator and its path.
#pragma once

#include "sqlclient/tls/tls_examination.h"
#include "sqlclient/tls/tls_verdict.h"

#include <cstdint>
#include <sstream>
#include <string>

namespace tallyrun::testing {

// The outcome and the problems, the protocol chosen, then the certificate's issuer and names, a line each.
inline std::string Seen(const odbc::TlsFacts& facts)
{
    std::ostringstream out;
    out << static_cast<int>(facts.outcome);
    for (const auto problem : odbc::JudgeTls(facts, std::chrono::floor<std::chrono::seconds>(
                                                         std::chrono::system_clock::now())))
        out << ' ' << static_cast<int>(problem);
    out << '\n' << facts.protocol << '\n';
    if (facts.certificate) {
        out << facts.certificate->issuer << '\n';
        for (const auto& name : facts.certificate->names)
            out << name << '\n';
    }
    return out.str();
}

bool UnderWine();
// What Seen writes of the server, seen here or under Wine.
std::string Examine(const std::string& host, std::uint16_t port, odbc::TlsStart start);

}  // namespace tallyrun::testing
