#include "sqlclient/odbc/connect_failure.h"

#include "sqlclient/kerberos/kerberos_check.h"
#include "sqlclient/net/prelogin_probe.h"
#include "sqlclient/net/tcp_probe.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

// Enough for a loopback or LAN connection; a timeout longer than that has been spent on the driver's own try.
constexpr std::chrono::seconds MaxProbe{5};

std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
}

}  // namespace

EncryptionFinding ExamineEncryption(const ServerAddress& address, const ConnectOptions& options,
                                    const std::vector<Diagnostic>& records,
                                    std::chrono::steady_clock::time_point deadline)
{
    const auto port = KnownPort(address);
    const auto left = Left(deadline);
    if (!port || left.count() <= 0 || !WorthAskingPrelogin(records))
        return FindTlsProblem(records);
    const auto answer = ProbePrelogin(address.host, *port, std::min<std::chrono::milliseconds>(left, MaxProbe));
    return FindEncryptionProblem(records, answer, options.encryption);
}

std::string LoginTimeoutNote(const ConnectOptions& options)
{
    return "The server " + options.server + " did not answer within the login timeout of "
           + std::to_string(options.loginTimeout.count()) + " seconds.";
}

std::vector<std::string> ExplainConnectFailure(const ServerAddress& address, const ConnectOptions& options,
                                               const std::vector<Diagnostic>& records, const TicketPrefetch& prefetch)
{
    if (AnyState(records, "HYT00"))
        return {LoginTimeoutNote(options)};

    const auto port = KnownPort(address);

    // The link failed before any login was sent (a Kerberos failure shows as a refused login instead).
    if (AnyState(records, "08S01")) {
        // Without a port (a named instance) the driver asked the SQL Browser; what it found is not known here.
        if (!port)
            return {"The SQL Browser of " + address.host + " did not tell the port of instance " + address.instance
                    + ", or nothing listens there: check that the instance runs and that UDP port 1434 reaches the "
                      "host, or give the port as host,port."};
        if (const auto left = Left(prefetch.deadline); left.count() > 0)
            if (auto reason = ProbeTcp(address.host, *port, std::min<std::chrono::milliseconds>(left, MaxProbe)))
                return {*reason};
    }

    if (options.sqlLogin)
        return {};
    // Not asked before: no service principal is known, so only the cache is read, and no KDC waited for.
    auto problem = prefetch.asked ? prefetch.problem : FindKerberosProblem(std::nullopt, {});
    if (problem)
        return {*problem};
    return {};
}

}  // namespace tallyrun::odbc
