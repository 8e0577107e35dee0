// What the client's own TLS handshake with a server saw: how it ended, and the certificate the server showed, as
// facts that a verdict is drawn from apart from any network.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tallyrun::odbc {

struct CertificateFacts {
    std::string subject;              // distinguished names, as the TLS library writes them
    std::string issuer;
    std::vector<std::string> names;   // the DNS and IP subject alternative names; else the common name
    std::chrono::sys_seconds notBefore{};
    std::chrono::sys_seconds notAfter{};
    bool issuerTrusted = false;       // it chains to an authority this computer trusts, dates and names aside
    bool holdsHost = false;           // it is issued to the host as typed
};

struct TlsFacts {
    enum class Outcome {
        NotExamined,     // no handshake came about: no connection, no time, or a server that offers no encryption
        Completed,       // the certificate is in `certificate`
        NoCommonGround,  // the server shares no TLS version or cipher with this computer
        Failed,          // broken off for another reason
    };
    Outcome outcome = Outcome::NotExamined;
    std::string reason;                          // the TLS library's words, where the handshake did not complete
    std::optional<CertificateFacts> certificate;
    std::string protocol;                        // the application protocol the server chose (ALPN); none: empty
};

}  // namespace tallyrun::odbc
