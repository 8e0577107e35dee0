// osql on this system when the login cannot happen or the server fails the batch, each failure told and bounded in
// time; and command-line mistakes.
#include "foreign_service.h"
#include "frozen_dns.h"
#include "frozen_kdc.h"
#include "osql_command.h"
#include "tds_standin.h"

#include "base/ascii.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* Query = "DBCC UPDATEUSAGE('Sales')";

ChildOutcome UsageUpdate(std::uint16_t port, std::vector<std::string> options = {"-b", "-l", "5"},
                         const std::vector<std::string>& environment = {})
{
    options.insert(options.begin(), {"-S", "127.0.0.1," + std::to_string(port), "-E", "-Q", Query});
    return RunOsql(options, environment);
}

// Every failure ends `within` its timeout and a margin (the machine is shared and slow at times).
void ExpectFailure(const ChildOutcome& run, const std::string& cause, std::chrono::milliseconds within)
{
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(cause), std::string::npos) << run.err;
    EXPECT_LT(run.elapsed, within);
}

TEST(OsqlFailure, NamesWhatStoodInTheLoginsWay)
{
    TdsStandIn unregistered({.registerServicePrincipal = false});
    const std::string principal = "MSSQLSvc/127.0.0.1:" + std::to_string(unregistered.Port());
    ExpectFailure(UsageUpdate(unregistered.Port()), "does not know the service principal " + principal, 10s);

    const auto port = PortNobodyListensOn();
    ExpectFailure(UsageUpdate(port), "connection to 127.0.0.1 port " + std::to_string(port) + " was refused", 10s);
}

TEST(OsqlFailure, NamesEncryptionWhenTheServerCannotEncryptAsTheClientMust)
{
    // FreeTDS says no more than "Adaptive Server connection failed" for either: the words are the client's own.
    const std::pair<TdsStandIn::Encryption, std::string> servers[] = {
        {TdsStandIn::Encryption::None, "encrypt"},
        {TdsStandIn::Encryption::Strict, "strict"},  // a server that takes TDS 8.0 only, which FreeTDS cannot speak
    };
    for (const auto& [encryption, named] : servers) {
        SCOPED_TRACE(named);
        TdsStandIn server({.encryption = encryption});
        const auto run = UsageUpdate(server.Port());
        ExpectFailure(run, "", 5s);
        EXPECT_NE(FoldAscii(run.err).find(named), std::string::npos) << run.err;
        EXPECT_EQ(server.SuccessfulLogins(), 0);
    }
}

TEST(OsqlFailure, AWebServerOnThePortIsNoStrictOnlySqlServer)
{
    const ForeignService web(ForeignService::Manner::Answer, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    const auto run = UsageUpdate(web.Port());
    ExpectFailure(run, "Something other than SQL Server answers at 127.0.0.1 port " + std::to_string(web.Port()) + ".",
                  5s);
    EXPECT_EQ(FoldAscii(run.err).find("strict"), std::string::npos) << run.err;
}

TEST(OsqlFailure, GivesUpAtTheLoginTimeoutOnWhatNeverOrSlowlyAnswers)
{
    const ForeignService quiet(ForeignService::Manner::Greet);
    const auto run = UsageUpdate(quiet.Port(), {"-b", "-l", "2"});
    ExpectFailure(run, "did not answer within the login timeout of 2 seconds", 7s);
    EXPECT_GE(run.elapsed, 2s - 100ms);

    // A byte every 1.5 s: each read is quick enough for the driver's own timeout, the login as a whole never is.
    TdsStandIn trickling({.trickle = 1500ms});
    ExpectFailure(UsageUpdate(trickling.Port()), "did not answer within the login timeout of 5 seconds", 6500ms);

    TdsStandIn server;
    FrozenKdc kdc;
    ExpectFailure(UsageUpdate(server.Port(), {"-b", "-l", "2"}, kdc.Environment()),
                  "KDC for realm TALLYRUN.TEST (127.0.0.1:" + std::to_string(kdc.Port()) + ")", 3500ms);
    EXPECT_TRUE(kdc.Asked());
    EXPECT_EQ(server.SuccessfulLogins(), 0);

    // A name server that never answers, in a network namespace of the test's own.
    const auto resolving =
        RunChild({FROZEN_DNS_PATH, OSQL_PATH, "-S", "sqlhost,1433", "-E", "-b", "-l", "2", "-Q", Query}, {}, {}, 90s);
    if (resolving.exitStatus == NoNamespace)
        GTEST_SKIP() << "no network namespace to freeze DNS in: " << resolving.err;
    ExpectFailure(resolving, "The host name sqlhost could not be resolved within 2 seconds.", 3500ms);
}

TEST(OsqlBrokenBatch, AConnectionClosedOrResetAfterTheBatchFailsTheRunEvenWithoutB)
{
    const std::pair<TdsStandIn::AfterBatch, std::string> faults[] = {
        {TdsStandIn::AfterBatch::Close, "The connection to the server was lost: the server closed it"},
        {TdsStandIn::AfterBatch::Reset, "The connection to the server was reset by the server"},
    };
    for (const auto& [fault, cause] : faults) {
        SCOPED_TRACE(cause);
        TdsStandIn server({.afterBatch = fault});
        ExpectFailure(UsageUpdate(server.Port(), {}), cause, 10s);
        EXPECT_EQ(server.Batches(), std::vector<std::string>{Query});
    }
}

TEST(OsqlBrokenBatch, AStalledServerFailsTheRunAtTheQueryTimeout)
{
    TdsStandIn server({.afterBatch = TdsStandIn::AfterBatch::Stall});
    const auto run = UsageUpdate(server.Port(), {"-t", "3"});
    ExpectFailure(run, "The query did not finish within the query timeout of 3 seconds.", 4500ms);
    EXPECT_GE(run.elapsed, 2900ms);
}

// Usage goes to standard error on a mistake and to standard output on request; a long server name is quoted whole
// once, not again in each line that names the server.
TEST(OsqlCommandLine, UsageGoesWhereItIsAskedForAndALongServerNameIsQuotedWholeOnce)
{
    const auto wrong = RunOsql({"-E", "-Q", "x", "-z"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err.rfind("osql: Unknown option \"-z\".\n\nusage: osql", 0), 0u) << wrong.err;

    const auto asked = RunOsql({"-?"});
    EXPECT_EQ(asked.exitStatus, 0);
    EXPECT_EQ(asked.err, "");
    EXPECT_EQ(asked.out.rfind("usage: osql", 0), 0u) << asked.out;

    const std::string name(10000, 'a');
    const auto run = RunOsql({"-S", name, "-E", "-Q", "x"});
    EXPECT_EQ(run.exitStatus, 1);
    std::size_t whole = 0;
    for (auto at = run.err.find(name); at != std::string::npos; at = run.err.find(name, at + name.size()))
        ++whole;
    EXPECT_EQ(whole, 1u) << run.err.size() << " characters of error";
}

}  // namespace
}  // namespace tallyrun::testing
