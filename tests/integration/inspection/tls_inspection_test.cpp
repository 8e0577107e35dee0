// The client's own handshake, as SQL Server expects it, against real TLS servers: the stand-in's self-signed
// certificate inside PRELOGIN and TLS first, and certificates openssl s_server shows, made by an authority nothing
// here trusts: expired, issued to another name, and a server that speaks only TLS 1.0. The Windows build's
// Schannel runs the same cases under Wine.
#include "inspection_command.h"
#include "openssl_server.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using namespace odbc;
using enum TlsProblem;

std::vector<int> Numbers(const std::vector<TlsProblem>& problems)
{
    std::vector<int> numbers;
    for (const TlsProblem problem : problems)
        numbers.push_back(static_cast<int>(problem));
    return numbers;
}

TEST(TlsInspection, NamesWhatTheServerShows)
{
    const TdsStandIn login({.registerServicePrincipal = false});
    const TdsStandIn strict({.encryption = TdsStandIn::Encryption::Strict, .registerServicePrincipal = false});
    const TdsStandIn none({.encryption = TdsStandIn::Encryption::None, .registerServicePrincipal = false});
    const OpensslServer otherName({.name = "sql01.corp.example"});
    const OpensslServer expired({.days = -1});
    const OpensslServer localhost({});
    const OpensslServer oldTls({.tls10Only = true});
    const struct {
        const char* what;
        std::string host;
        std::uint16_t port;
        TlsStart start;
        TlsFacts::Outcome outcome;
        std::vector<TlsProblem> problems;
        std::string protocol;
    } cases[] = {
        {"the stand-in in PRELOGIN", "localhost", login.Port(), TlsStart::InsidePrelogin,
         TlsFacts::Outcome::Completed, {SelfSigned}, ""},
        {"the stand-in, strict", "127.0.0.1", strict.Port(), TlsStart::Strict, TlsFacts::Outcome::Completed,
         {SelfSigned}, "tds/8.0"},
        {"a server without encryption", "localhost", none.Port(), TlsStart::InsidePrelogin,
         TlsFacts::Outcome::NotInspected, {}, ""},
        {"another name", "localhost", otherName.Port(), TlsStart::Strict, TlsFacts::Outcome::Completed,
         {OtherNames, UnknownIssuer}, ""},
        {"another name than the address typed", "127.0.0.1", localhost.Port(), TlsStart::Strict,
         TlsFacts::Outcome::Completed, {OtherNames, UnknownIssuer}, ""},
        {"expired", "localhost", expired.Port(), TlsStart::Strict, TlsFacts::Outcome::Completed,
         {Expired, UnknownIssuer}, ""},
        {"the name typed", "localhost", localhost.Port(), TlsStart::Strict, TlsFacts::Outcome::Completed,
         {UnknownIssuer}, ""},
        {"TLS 1.0 only", "localhost", oldTls.Port(), TlsStart::Strict, TlsFacts::Outcome::NoCommonGround,
         {NoCommonGround}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Wine's Schannel reports a version the server refuses as an internal error, which tells nothing.
        if (UnderWine() && c.outcome == TlsFacts::Outcome::NoCommonGround)
            continue;
        const Seen seen = Inspect(c.host, c.port, c.start);
        EXPECT_EQ(seen.outcome, static_cast<int>(c.outcome));
        EXPECT_EQ(seen.problems, Numbers(c.problems));
        EXPECT_EQ(seen.protocol, c.protocol);
        if (c.port == otherName.Port()) {
            EXPECT_EQ(seen.names, std::vector<std::string>{"sql01.corp.example"});
            EXPECT_EQ(seen.issuer, "CN=Tallyrun Test Authority");
        }
    }
}

}  // namespace
}  // namespace tallyrun::testing
