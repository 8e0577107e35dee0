// What the client's own handshake shows about a failed connect, judged from its facts alone: which problems the
// server's TLS has, each told with what to do about it.
#pragma once

#include "sqlclient/tls/tls_facts.h"

#include <chrono>
#include <string>
#include <vector>

namespace tallyrun::odbc {

enum class TlsProblem {
    NoCommonGround,  // no TLS version or cipher in common
    Expired,
    NotYetValid,
    OtherNames,      // issued to names other than the one typed
    SelfSigned,      // not trusted, and its own issuer
    UnknownIssuer,   // not trusted: its issuer is no authority this computer trusts
};

// The problems in the order they are told; none where the handshake completed with a certificate that holds up,
// or did not come about. A self-signed certificate's names are not judged: no name makes it trusted.
std::vector<TlsProblem> JudgeTls(const TlsFacts& facts, std::chrono::sys_seconds now);

// A line for each problem, naming the server as typed and the host, and last, where a certificate is at fault,
// the option that accepts it, for a server the user knows. Empty where JudgeTls finds nothing.
std::vector<std::string> TlsAdvice(const TlsFacts& facts, std::chrono::sys_seconds now, const std::string& server,
                                   const std::string& host);

}  // namespace tallyrun::odbc
