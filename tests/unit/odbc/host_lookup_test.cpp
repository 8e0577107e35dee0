// Every host-name lookup of a login keeps to its time: a resolver that never answers is put in getaddrinfo's place
// for the lookup itself and for each module that resolves a name.
#include "platform/core/error.h"
#include "sqlclient/net/host_lookup.h"
#include "sqlclient/odbc/instance_port.h"
#include "sqlclient/kerberos/kerberos_check.h"
#include "sqlclient/net/tcp_probe.h"

#include <gtest/gtest.h>

#include <netdb.h>

#include <thread>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Far longer than any test waits; it keeps nothing of the test's, as it outlives it.
int SilentResolver(const char*, const char*, const addrinfo*, addrinfo**)
{
    std::this_thread::sleep_for(60s);
    return EAI_AGAIN;
}

int UnknownName(const char*, const char*, const addrinfo*, addrinfo**)
{
    return EAI_NONAME;
}

// Generous: the machine is shared, and the bound is what matters, not its precision.
constexpr auto Slack = 1500ms;

template <class Call>
void ExpectTimedOutWithin(std::chrono::milliseconds bound, Call call)
{
    const auto start = Clock::now();
    try {
        call();
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), errc::HostLookupTimedOut) << error.Description();
        EXPECT_NE(error.Description().find("The host name sqlhost could not be resolved within "), std::string::npos)
            << error.Description();
    }
    EXPECT_LT(Clock::now() - start, bound + Slack);
}

TEST(HostLookup, GivesUpOnASilentResolverAtTheTimeout)
{
    ExpectTimedOutWithin(300ms, [] { LookUpHost("sqlhost", {}, addrinfo{}, 300ms, SilentResolver); });
    try {
        LookUpHost("sqlhost", {}, addrinfo{}, 2000ms, UnknownName);
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), errc::HostNotFound);
        EXPECT_EQ(error.Description(), std::string("The host name sqlhost could not be resolved (")
                                           + gai_strerror(EAI_NONAME) + ").");
    }
}

TEST(HostLookup, SaysHowLongItWaitedInWholeSeconds)
{
    ExpectTimedOutWithin(1990ms, [] {
        try {
            LookUpHost("sqlhost", {}, addrinfo{}, 1990ms, SilentResolver);
        } catch (const Error& error) {
            EXPECT_EQ(error.Description(), "The host name sqlhost could not be resolved within 2 seconds.");
            throw;
        }
    });
}

TEST(HostLookup, BoundsTheTcpProbe)
{
    const auto start = Clock::now();
    const auto reason = ProbeTcp("sqlhost", 1433, 500ms, SilentResolver);
    EXPECT_EQ(reason, "The host name sqlhost could not be resolved within 1 second.");
    EXPECT_LT(Clock::now() - start, 500ms + Slack);
}

TEST(HostLookup, BoundsTheInstanceLookupByTheLoginTimeout)
{
    ExpectTimedOutWithin(1s, [] {
        ResolveConnectTarget(DriverKind::FreeTds, ParseServerName("sqlhost\\SALES"), 1s, 1434, SilentResolver);
    });
}

TEST(HostLookup, BoundsTheServicePrincipalsCanonicalName)
{
    ExpectTimedOutWithin(500ms, [] { ServicePrincipalName("sqlhost", 1433, 500ms, SilentResolver); });
    // A name the resolver does not know is the driver's to fail on: the principal keeps it as typed.
    EXPECT_EQ(ServicePrincipalName("sqlhost", 1433, 500ms, UnknownName), "MSSQLSvc/sqlhost:1433");
}

}  // namespace
}  // namespace tallyrun::odbc
