// The PRELOGIN probe says only what it saw: a SQL Server's answer, something else's, a connection closed without
// one, and strict only where a TDS 8.0 handshake then completed; a server that trickles ends it at its deadline.
#include "foreign_service.h"
#include "tds_standin.h"

#include "sqlclient/net/prelogin_probe.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;
using odbc::PreloginAnswer;
using Clock = std::chrono::steady_clock;

TdsStandIn StandIn(TdsStandIn::Encryption encryption)
{
    return TdsStandIn({.encryption = encryption, .registerServicePrincipal = false});
}

TEST(PreloginProbe, TellsOnlyWhatTheServerShowed)
{
    const TdsStandIn login = StandIn(TdsStandIn::Encryption::Login), none = StandIn(TdsStandIn::Encryption::None),
                     strict = StandIn(TdsStandIn::Encryption::Strict);
    const ForeignService web(ForeignService::Manner::Answer, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    const ForeignService ssh(ForeignService::Manner::Greet, "SSH-2.0-OpenSSH_9.2p1 Debian-2+deb12u3\r\n");
    const ForeignService closing(ForeignService::Manner::Close), resetting(ForeignService::Manner::Reset);
    const struct {
        const char* what;
        std::uint16_t port;
        PreloginAnswer answer;
    } cases[] = {
        {"a SQL Server that encrypts", login.Port(), PreloginAnswer::EncryptionOffered},
        {"one that offers no encryption", none.Port(), PreloginAnswer::EncryptionNotOffered},
        {"one that takes TDS 8.0 only", strict.Port(), PreloginAnswer::StrictOnly},
        {"a web server", web.Port(), PreloginAnswer::NotSqlServer},
        {"an SSH server", ssh.Port(), PreloginAnswer::NotSqlServer},
        {"a server that closes", closing.Port(), PreloginAnswer::ClosedWithoutAnswer},
        {"a server that resets", resetting.Port(), PreloginAnswer::ClosedWithoutAnswer},
        {"nothing listening", PortNobodyListensOn(), PreloginAnswer::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(odbc::ProbePrelogin("127.0.0.1", c.port, Clock::now() + 5s), c.answer);
    }
}

TEST(PreloginProbe, ATricklingServerEndsTheProbeAtItsDeadline)
{
    // SQL Server's answer, a byte every 200 ms: whole only after eight seconds.
    const TdsStandIn trickle({.registerServicePrincipal = false, .trickle = 200ms});
    const auto start = Clock::now();
    EXPECT_EQ(odbc::ProbePrelogin("127.0.0.1", trickle.Port(), start + 1s), PreloginAnswer::Unknown);
    EXPECT_LT(Clock::now() - start, 1500ms);
}

}  // namespace
}  // namespace tallyrun::testing
