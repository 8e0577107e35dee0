// A TLS client handshake over a transport, in the system's TLS library (GnuTLS, or Schannel on Windows), set up as
// the drivers here set up theirs: the system's trust store, no TLS 1.0. The certificate is looked at, never
// refused: the handshake completes whatever it holds.
#pragma once

#include "sqlclient/tls/tls_facts.h"
#include "sqlclient/tls/tls_transport.h"

#include <string>

namespace tallyrun::odbc {

// `host` goes as the server name (SNI, unless it is an IP address) and is what the certificate must hold; `tds8`
// offers the application protocol tds/8.0 (ALPN).
TlsFacts ShakeHands(TlsTransport& transport, const std::string& host, bool tds8);

}  // namespace tallyrun::odbc
