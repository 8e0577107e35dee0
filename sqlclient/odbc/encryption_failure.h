// Why a login failed over encryption, from the driver's records, the server's answer to a plain PRELOGIN and the
// client's own look at the server's TLS, told with what to do about it; and whether a login is worth trying again
// with strict encryption.
#pragma once

#include "sqlclient/net/prelogin_probe.h"
#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/server_name.h"

#include <string>
#include <vector>

namespace tallyrun::odbc {

enum class EncryptionProblem {
    None,
    UntrustedCertificate,  // the certificate's issuer is not trusted here (a server's own self-signed one)
    CertificateName,       // the certificate holds another name than the one typed
    Handshake,             // the TLS handshake failed (e.g. a server that speaks only TLS 1.0)
    HandshakeUntold,       // the login failed after the server offered encryption, and the driver (FreeTDS) said
                           // nothing more: most likely the handshake, unless another cause is found
    StrictOnly,            // no answer to a plain PRELOGIN, and a strict handshake completed: only TDS 8.0 is taken
    StrictFailed,          // such a server, and the strict connection failed too
    NotOffered,            // the server offers no encryption, and the connection requires it
    NotSqlServer,          // what answers on the port is no SQL Server
    ClosedWithoutAnswer,   // the server closed the connection on a plain PRELOGIN, and took no strict handshake
    Examined,              // the client's own handshake found what is wrong, told in `verdict` (which a failure
                           // FreeTDS left untold also keeps, for where nothing else explains it)
};

struct EncryptionFinding {
    EncryptionProblem problem = EncryptionProblem::None;
    std::string reason{};               // the driver's or the TLS library's words, for a handshake
    std::vector<std::string> verdict{}; // the lines of the client's own look at the server's TLS
};

// A certificate or handshake problem the driver named: by Windows' native error numbers, where its texts are in
// the system's language, else by the words of the TLS library the driver uses.
EncryptionFinding FindTlsProblem(const std::vector<Diagnostic>& records);

// Whether the server itself may explain the records: the connection failed after it was made (rather than not
// at all, or for the login).
bool WorthAskingServer(const std::vector<Diagnostic>& records);

// Whether the client's own look at the server's TLS may tell more than the finding: the driver named a TLS
// problem, or FreeTDS said nothing after the server offered encryption.
bool WorthExaminingTls(const EncryptionFinding& finding);

// The records' TLS problem; else what the PRELOGIN answer shows, for a login that asked for `asked`.
EncryptionFinding FindEncryptionProblem(const std::vector<Diagnostic>& records, PreloginAnswer answer,
                                        Encryption asked);

// A server that accepts only strict encryption is tried again with it, once, by a driver that can make it; never
// after a certificate or handshake problem, which strict encryption would meet again.
bool RetryStrictly(const EncryptionFinding& finding, Encryption asked, bool driverCanConnectStrictly);

// What to tell the user, line by line, naming the server as typed and its address; an option that weakens the
// connection only on the last line, for a server the user knows. Empty for EncryptionProblem::None.
std::vector<std::string> EncryptionAdvice(const EncryptionFinding& finding, const std::string& server,
                                          const ServerAddress& address);

// The advice for a driver that cannot make the strict connection the server asks for.
std::string StrictAdvice(const std::string& server);

// The same where the caller asked for strict encryption of `driver`, which cannot make it.
std::string StrictUnavailable(const std::string& driver);

}  // namespace tallyrun::odbc
