#include "sqlclient/tls/tls_examination.h"

#include "sqlclient/net/prelogin_exchange.h"
#include "sqlclient/tls/tls_handshake.h"

namespace tallyrun::odbc {

TlsFacts ExamineTls(const std::string& host, std::uint16_t port, TlsStart start,
                    std::chrono::steady_clock::time_point deadline, const AddressLookup& lookup)
{
    DeadlineSocket socket(host, port, deadline, lookup);
    if (!socket)
        return {};
    const bool insidePrelogin = start == TlsStart::InsidePrelogin;
    if (insidePrelogin) {
        const PreloginReply reply = AskPrelogin(socket);
        if (reply.kind != PreloginReply::Kind::Answer || reply.encryption == EncryptNotSupported)
            return {};
    }
    TlsTransport transport(socket, insidePrelogin);
    return ShakeHands(transport, host, start == TlsStart::Strict);
}

}  // namespace tallyrun::odbc
