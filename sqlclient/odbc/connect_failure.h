// Why a login failed, beyond the driver's "Unable to connect": encryption, a timeout, a refused connection, or a
// Kerberos problem, found after the fact (within what the login's time has left) and told as notes that follow the
// driver's own messages.
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/diagnostic.h"
#include "sqlclient/odbc/encryption_failure.h"
#include "sqlclient/odbc/server_name.h"
#include "sqlclient/kerberos/service_ticket.h"

#include <string>
#include <vector>

namespace tallyrun::odbc {

// The encryption problem behind a failed login: the one the driver named, else what the server answers to a plain
// PRELOGIN; where TLS is at fault, what the client's own handshake finds wrong. All within what is left of the
// login's time (until `deadline`).
EncryptionFinding ExamineEncryption(const ServerAddress& address, const ConnectOptions& options,
                                    const std::vector<Diagnostic>& records,
                                    std::chrono::steady_clock::time_point deadline);

// The same for the strict connection tried after a server took no other: StrictFailed unless TLS is at fault.
EncryptionFinding ExamineStrictFailure(const ServerAddress& address, const ConnectOptions& options,
                                       const std::vector<Diagnostic>& records,
                                       std::chrono::steady_clock::time_point deadline);

// What is told when the login took longer than its timeout, whatever the driver said of the cut connection.
std::string LoginTimeoutNote(const ConnectOptions& options);

// A Kerberos problem the prefetch found is told again rather than looked for anew.
std::vector<std::string> ExplainConnectFailure(const ServerAddress& address, const ConnectOptions& options,
                                               const std::vector<Diagnostic>& records, const TicketPrefetch& prefetch);

}  // namespace tallyrun::odbc
