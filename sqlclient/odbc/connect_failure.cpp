#include "sqlclient/odbc/connect_failure.h"

#include "sqlclient/kerberos/kerberos_check.h"
#include "sqlclient/net/prelogin_probe.h"
#include "sqlclient/net/tcp_probe.h"
#include "sqlclient/tls/tls_examination.h"
#include "sqlclient/tls/tls_verdict.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

// Enough for a loopback or LAN connection; a timeout longer than that has been spent on the driver's own try.
constexpr std::chrono::seconds MaxProbe{5};

std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
}

// The probe's time, ended by the login's deadline.
std::chrono::steady_clock::time_point ProbeDeadline(std::chrono::steady_clock::time_point deadline)
{
    return std::min(deadline, std::chrono::steady_clock::now() + MaxProbe);
}

// The finding, or what the client's own handshake finds wrong in its place. A handshake that completes with a
// certificate that holds up, or one the user chose to accept (-C), clears a failure FreeTDS left untold: it was
// something else. What is found for such a failure stays with it, to be told where nothing else (Kerberos)
// explains the failure first.
EncryptionFinding Examine(EncryptionFinding finding, const ServerAddress& address, std::uint16_t port,
                          TlsStart start, const ConnectOptions& options,
                          std::chrono::steady_clock::time_point deadline)
{
    if (!WorthExaminingTls(finding))
        return finding;
    const TlsFacts facts = ExamineTls(address.host, port, start, deadline);
    const bool completed = facts.outcome == TlsFacts::Outcome::Completed;
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    auto verdict = completed && options.trustServerCertificate ? std::vector<std::string>()
                                                               : TlsAdvice(facts, now, options.server, address.host);
    if (finding.problem == EncryptionProblem::HandshakeUntold && verdict.empty() && completed)
        return {};
    if (verdict.empty())
        return finding;
    if (finding.problem != EncryptionProblem::HandshakeUntold)
        finding.problem = EncryptionProblem::Examined;
    finding.verdict = std::move(verdict);
    return finding;
}

}  // namespace

EncryptionFinding ExamineEncryption(const ServerAddress& address, const ConnectOptions& options,
                                    const std::vector<Diagnostic>& records,
                                    std::chrono::steady_clock::time_point deadline)
{
    const auto port = KnownPort(address);
    if (!port || Left(deadline).count() <= 0 || !WorthAskingServer(records))
        return FindTlsProblem(records);
    const auto until = ProbeDeadline(deadline);
    auto finding = FindTlsProblem(records);
    if (finding.problem == EncryptionProblem::None)
        finding = FindEncryptionProblem(records, ProbePrelogin(address.host, *port, until), options.encryption);
    const TlsStart start = options.encryption == Encryption::Strict ? TlsStart::Strict : TlsStart::InsidePrelogin;
    return Examine(std::move(finding), address, *port, start, options, until);
}

EncryptionFinding ExamineStrictFailure(const ServerAddress& address, const ConnectOptions& options,
                                       const std::vector<Diagnostic>& records,
                                       std::chrono::steady_clock::time_point deadline)
{
    auto finding = FindTlsProblem(records);
    if (finding.problem == EncryptionProblem::None)
        finding.problem = EncryptionProblem::StrictFailed;
    const auto port = KnownPort(address);
    if (!port || Left(deadline).count() <= 0)
        return finding;
    return Examine(std::move(finding), address, *port, TlsStart::Strict, options, ProbeDeadline(deadline));
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
