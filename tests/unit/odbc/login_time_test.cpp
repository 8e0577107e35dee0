// A login keeps to its time: each host-name lookup gives up on a resolver that never answers (one put in
// getaddrinfo's place), and the attempt's connection is cut at the deadline however slowly the server answers.
#include "base/error.h"
#include "sqlclient/kerberos/kerberos_check.h"
#include "sqlclient/net/host_lookup.h"
#include "sqlclient/net/tcp_probe.h"
#include "sqlclient/odbc/instance_port.h"
#include "sqlclient/odbc/login_deadline.h"
#include "tests/fixtures/errors/expect_error.h"

#include "loopback.h"

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

// Stands for the driver: connects to the listener after `delay` and waits for an answer that never comes, until
// the connection ends. SQL_ERROR when it was cut; SQL_SUCCESS when it was still open after `patience`.
SQLRETURN WaitForAnAnswer(std::uint16_t port, std::chrono::milliseconds delay, std::chrono::milliseconds patience)
{
    std::this_thread::sleep_for(delay);
    const UniqueFd socket = testing::ConnectedToLoopback(port);
    if (!socket)
        return SQL_INVALID_HANDLE;
    const auto micros = std::chrono::microseconds(patience).count();
    const timeval wait{micros / 1'000'000, static_cast<suseconds_t>(micros % 1'000'000)};
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char byte;
    return ::recv(socket.Get(), &byte, 1, 0) < 0 ? SQL_SUCCESS : SQL_ERROR;
}

TEST(LoginDeadline, CutsTheAttemptsConnectionAtTheDeadlineAndLeavesOneThatEndsInTime)
{
    const UniqueFd listener = testing::BoundToLoopback(SOCK_STREAM);
    ASSERT_EQ(::listen(listener.Get(), 8), 0);
    const std::uint16_t port = testing::LocalPort(listener.Get());
    struct Case {
        const char* what;
        std::chrono::milliseconds connectsAfter;
        std::optional<std::uint16_t> serverPort;
        bool timedOut;
    };
    for (const Case& c : {Case{"connected before the deadline", 0ms, port, true},
                          Case{"connected only after it", 400ms, port, true},
                          Case{"to a port not known", 0ms, std::nullopt, true},
                          Case{"to another port than the server's", 0ms, std::uint16_t(port + 1), true}}) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        const LoginAttempt attempt =
            AttemptLogin(start + 300ms, c.serverPort, [&] { return WaitForAnAnswer(port, c.connectsAfter, 1s); });
        const auto took = Clock::now() - start;
        EXPECT_TRUE(attempt.timedOut);
        // Only the server's own connection is cut: any other is waited out, as the driver would have to.
        const bool cut = c.serverPort != std::uint16_t(port + 1);
        EXPECT_EQ(attempt.result, cut ? SQL_ERROR : SQL_SUCCESS);
        EXPECT_LT(took, cut ? std::max<Clock::duration>(c.connectsAfter, 300ms) + 400ms : 2s);
    }

    const auto start = Clock::now();
    const LoginAttempt inTime = AttemptLogin(start + 3s, port, [&] { return WaitForAnAnswer(port, 0ms, 200ms); });
    EXPECT_FALSE(inTime.timedOut);
    EXPECT_EQ(inTime.result, SQL_SUCCESS) << "an attempt that ended in time was cut";
    EXPECT_LT(Clock::now() - start, 1s) << "the login waited for its deadline after the attempt had ended";
}

}  // namespace
}  // namespace tallyrun::odbc
