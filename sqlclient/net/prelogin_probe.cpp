#include "sqlclient/net/prelogin_probe.h"

#include "sqlclient/net/prelogin_exchange.h"
#include "sqlclient/tls/tls_examination.h"

namespace tallyrun::odbc {
namespace {

// A server that completes a TLS handshake offered as TDS 8.0 speaks it, unless it chose another protocol; its
// certificate does not matter here.
bool CompletesStrictHandshake(const std::string& host, std::uint16_t port,
                              std::chrono::steady_clock::time_point deadline, const AddressLookup& lookup)
{
    const TlsFacts facts = ExamineTls(host, port, TlsStart::Strict, deadline, lookup);
    return facts.outcome == TlsFacts::Outcome::Completed && (facts.protocol.empty() || facts.protocol == "tds/8.0");
}

}  // namespace

PreloginAnswer ProbePrelogin(const std::string& host, std::uint16_t port,
                             std::chrono::steady_clock::time_point deadline, const AddressLookup& lookup)
{
    PreloginReply reply;
    {
        DeadlineSocket socket(host, port, deadline, lookup);
        reply = AskPrelogin(socket);
    }
    switch (reply.kind) {
    case PreloginReply::Kind::Answer:
        return reply.encryption == EncryptNotSupported ? PreloginAnswer::EncryptionNotOffered
                                                       : PreloginAnswer::EncryptionOffered;
    case PreloginReply::Kind::NotTds:
        return PreloginAnswer::NotSqlServer;
    case PreloginReply::Kind::Tls:
    case PreloginReply::Kind::Closed:
        if (CompletesStrictHandshake(host, port, deadline, lookup))
            return PreloginAnswer::StrictOnly;
        return reply.kind == PreloginReply::Kind::Tls ? PreloginAnswer::NotSqlServer
                                                      : PreloginAnswer::ClosedWithoutAnswer;
    case PreloginReply::Kind::TimedOut:
        break;
    }
    return PreloginAnswer::Unknown;
}

}  // namespace tallyrun::odbc
