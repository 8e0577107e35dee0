// The client's own handshake, as SQL Server expects it, against real TLS servers, trusting the test authority
// alone: the stand-in's certificates inside PRELOGIN (from the authority, SQL Server's own self-signed one, expired,
// for another name) and TLS first, and openssl s_server's from an authority nothing here trusts, or speaking only
// TLS 1.0. The Windows build's Schannel runs the same cases under Wine.
#include "inspection_command.h"
#include "openssl_server.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

#include <memory>

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
    using Served = TdsStandIn::Encryption;
    using Shown = TdsStandIn::Certificate;
    const auto standIn = [](Served encryption, Shown certificate) {
        return std::make_unique<TdsStandIn>(TdsStandIn::Options{
            .encryption = encryption, .registerServicePrincipal = false, .certificate = certificate});
    };
    const auto trusted = standIn(Served::Login, Shown::Trusted);
    const auto selfSigned = standIn(Served::Full, Shown::SelfSigned);
    const auto expired = standIn(Served::Login, Shown::Expired);
    const auto otherName = standIn(Served::Login, Shown::OtherName);
    const auto strict = standIn(Served::Strict, Shown::Trusted);
    const auto none = standIn(Served::None, Shown::Trusted);
    const OpensslServer unknownAuthority;
    const OpensslServer oldTls(true);
    const struct {
        const char* what;
        std::string host;
        std::uint16_t port;
        TlsStart start;
        TlsFacts::Outcome outcome;
        std::vector<TlsProblem> problems;
        std::string protocol;
    } cases[] = {
        {"a certificate that holds up", "localhost", trusted->Port(), TlsStart::InsidePrelogin,
         TlsFacts::Outcome::Completed, {}, ""},
        {"the same, by its address", "127.0.0.1", trusted->Port(), TlsStart::InsidePrelogin,
         TlsFacts::Outcome::Completed, {}, ""},
        {"SQL Server's own", "localhost", selfSigned->Port(), TlsStart::InsidePrelogin, TlsFacts::Outcome::Completed,
         {SelfSigned}, ""},
        {"expired", "localhost", expired->Port(), TlsStart::InsidePrelogin, TlsFacts::Outcome::Completed, {Expired},
         ""},
        {"another name", "localhost", otherName->Port(), TlsStart::InsidePrelogin, TlsFacts::Outcome::Completed,
         {OtherNames}, ""},
        {"strict", "localhost", strict->Port(), TlsStart::Strict, TlsFacts::Outcome::Completed, {}, "tds/8.0"},
        {"a server without encryption", "localhost", none->Port(), TlsStart::InsidePrelogin,
         TlsFacts::Outcome::NotInspected, {}, ""},
        {"an authority not known here, TLS first", "localhost", unknownAuthority.Port(), TlsStart::Strict,
         TlsFacts::Outcome::Completed, {UnknownIssuer}, ""},
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
    }
    const Seen other = Inspect("localhost", otherName->Port(), TlsStart::InsidePrelogin);
    EXPECT_EQ(other.names, std::vector<std::string>{"sql01.tallyrun.test"});
    EXPECT_EQ(Inspect("localhost", unknownAuthority.Port(), TlsStart::Strict).issuer, "CN=Tallyrun Test Authority");
}

}  // namespace
}  // namespace tallyrun::testing
