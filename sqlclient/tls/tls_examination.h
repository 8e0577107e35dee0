// The client's own look at a server's TLS after a failed connect: a handshake of its own, as SQL Server expects it
// and against the same trust store as the driver, which reports what it saw (the certificate, or why the handshake
// stopped) where drivers say only that the connection failed.
#pragma once

#include "sqlclient/net/host_lookup.h"
#include "sqlclient/tls/tls_facts.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tallyrun::odbc {

enum class TlsStart {
    InsidePrelogin,  // TDS 7.x: a PRELOGIN asking for encryption, then the handshake inside PRELOGIN packets
    Strict,          // TDS 8.0: the handshake first, with ALPN tds/8.0
};

// Everything before `deadline`; the connection is closed at once. The server name sent (SNI) is `host`, against
// which the certificate's names are checked.
TlsFacts ExamineTls(const std::string& host, std::uint16_t port, TlsStart start,
                    std::chrono::steady_clock::time_point deadline, const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
