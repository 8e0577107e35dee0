// The handshake on Windows: not made yet, so a failed connect is told in the driver's own words.
#include "sqlclient/tls/tls_handshake.h"

namespace tallyrun::odbc {

TlsFacts ShakeHands(TlsTransport&, const std::string&, bool)
{
    return {};
}

}  // namespace tallyrun::odbc
