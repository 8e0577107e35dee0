// Every host-name lookup of a login keeps to its time: a resolver that never answers is put in getaddrinfo's place
// for the lookup itself and for each module that resolves a name.
#include "base/error.h"
#include "sqlclient/kerberos/kerberos_check.h"
#include "sqlclient/net/host_lookup.h"
#include "sqlclient/net/tcp_probe.h"
#include "sqlclient/odbc/instance_port.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <netdb.h>

#include <functional>
#include <thread>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Far longer than any test waits; it keeps nothing of the test's, as it outlives it.
const auto SilentResolver = [](const char*, const char*, const addrinfo*, addrinfo**) {
    std::this_thread::sleep_for(60s);
    return EAI_AGAIN;
};
const auto UnknownName = [](const char*, const char*, const addrinfo*, addrinfo**) { return EAI_NONAME; };

TEST(HostLookup, EachLookupGivesUpOnASilentResolverAtItsBoundAndSaysHowLongItWaited)
{
    struct Case {
        const char* what;
        std::chrono::milliseconds bound;
        std::function<void()> call;
        const char* told;
    };
    const Case cases[] = {
        {"the lookup, in whole seconds", 1990ms, [] { LookUpHost("sqlhost", {}, addrinfo{}, 1990ms, SilentResolver); },
         "2 seconds"},
        {"the instance lookup", 1s,
         [] { ResolveConnectTarget(DriverKind::FreeTds, ParseServerName("sqlhost\\SALES"), 1s, 1434, SilentResolver); },
         "1 second"},
        {"the principal's canonical name", 500ms,
         [] { ServicePrincipalName("sqlhost", 1433, 500ms, SilentResolver); }, "1 second"},
        {"the TCP probe", 500ms,
         [] { throw Error(errc::HostLookupTimedOut, ProbeTcp("sqlhost", 1433, 500ms, SilentResolver).value_or("")); },
         "1 second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        const Error error = fixtures::RaisedError(c.call);
        // Generous: the machine is shared, and the bound is what matters, not its precision.
        EXPECT_LT(Clock::now() - start, c.bound + 1500ms);
        EXPECT_EQ(error.Number(), errc::HostLookupTimedOut) << error.Description();
        const std::string told = std::string("The host name sqlhost could not be resolved within ") + c.told + ".";
        EXPECT_EQ(error.Description().rfind(told, 0), 0u) << error.Description();
    }
}

TEST(HostLookup, AnUnknownNameIsToldAndThePrincipalKeepsItAsTyped)
{
    const Error error = fixtures::RaisedError([] { LookUpHost("sqlhost", {}, addrinfo{}, 2000ms, UnknownName); });
    EXPECT_EQ(error.Number(), errc::HostNotFound);
    EXPECT_EQ(error.Description(),
              std::string("The host name sqlhost could not be resolved (") + gai_strerror(EAI_NONAME) + ").");
    // A name the resolver does not know is the driver's to fail on.
    EXPECT_EQ(ServicePrincipalName("sqlhost", 1433, 500ms, UnknownName), "MSSQLSvc/sqlhost:1433");
}

}  // namespace
}  // namespace tallyrun::odbc
