#include "child_process.h"
#include "closed_port.h"
#include "frozen_kdc.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

// Every failure must end well within the login timeout plus this (the machine is shared and slow at times).
constexpr auto Margin = 5s;

ChildOutcome Osql(std::uint16_t port, std::chrono::seconds loginTimeout, std::vector<std::string> environment = {})
{
    return RunChild({OSQL_PATH, "-S", "127.0.0.1," + std::to_string(port), "-E", "-b", "-l",
                     std::to_string(loginTimeout.count()), "-Q", "DBCC UPDATEUSAGE('Sales')"},
                    {}, environment, loginTimeout + 60s);
}

void ExpectFailure(const ChildOutcome& run, std::chrono::seconds loginTimeout, const std::string& cause)
{
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(cause), std::string::npos) << run.err;
    EXPECT_LT(run.elapsed, loginTimeout + Margin);
}

TEST(OsqlFailure, WithoutATicketSaysToRunKinit)
{
    TdsStandIn server;
    const std::string noCache = std::string("KRB5CCNAME=FILE:") + std::getenv("TALLYRUN_TEST_KDC_DIR") + "/none";
    const auto run = Osql(server.Port(), 5s, {noCache});
    ExpectFailure(run, 5s, "Run kinit");
    EXPECT_EQ(server.SuccessfulLogins(), 0);
}

TEST(OsqlFailure, NamesTheServicePrincipalTheKdcDoesNotKnow)
{
    TdsStandIn::Options options;
    options.registerServicePrincipal = false;
    TdsStandIn server(options);
    const auto run = Osql(server.Port(), 5s);
    ExpectFailure(run, 5s, "does not know the service principal MSSQLSvc/127.0.0.1:" + std::to_string(server.Port()));
}

TEST(OsqlFailure, SaysTheConnectionWasRefusedWhenNothingListens)
{
    const auto port = PortNobodyListensOn();
    const auto run = Osql(port, 5s);
    ExpectFailure(run, 5s, "connection to 127.0.0.1 port " + std::to_string(port) + " was refused");
}

TEST(OsqlFailure, GivesUpOnASilentServerAtTheLoginTimeout)
{
    TdsStandIn::Options options;
    options.mode = TdsStandIn::Mode::Silent;
    TdsStandIn server(options);
    const auto run = Osql(server.Port(), 2s);
    ExpectFailure(run, 2s, "did not answer within the login timeout of 2 seconds");
    EXPECT_GE(run.elapsed, 2s - 100ms);
}

TEST(OsqlFailure, NamesTheKdcThatDoesNotAnswerWithinTheLoginTimeout)
{
    TdsStandIn server;
    FrozenKdc kdc;
    const auto run = Osql(server.Port(), 2s, kdc.Environment());
    ExpectFailure(run, 2s, "KDC for realm TALLYRUN.TEST (127.0.0.1:" + std::to_string(kdc.Port()) + ")");
    EXPECT_LT(run.elapsed, 3500ms);
    EXPECT_GE(kdc.Requests(), 1);
    EXPECT_EQ(server.SuccessfulLogins(), 0);
}

}  // namespace
}  // namespace tallyrun::testing
