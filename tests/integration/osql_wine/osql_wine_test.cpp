// osql.exe under Wine against the SQL Server stand-in: Wine's odbc32 hands the calls to this system's unixODBC,
// which loads FreeTDS; FreeTDS logs in with the test realm's ticket, found through the environment Wine passes on.
#include "child_process.h"
#include "tds_standin.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"
#include "wine_command.h"

#include "platform/core/error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

const std::string UsageUpdate = "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS";

// Wine starts its server and services when none runs yet, which takes some seconds on a busy machine.
constexpr auto WineStart = 10s;

ChildOutcome Osql(const std::string& server, const std::vector<std::string>& options,
                  const std::vector<std::string>& environment = {})
{
    std::vector<std::string> argv{"timeout", "-k", "5", "90"};
    argv.insert(argv.end(), OsqlUnderWine().begin(), OsqlUnderWine().end());
    argv.insert(argv.end(), {"-S", server});
    argv.insert(argv.end(), options.begin(), options.end());
    return RunChild(argv, {}, environment, 100s);
}

std::string At(const TdsStandIn& server)
{
    return "127.0.0.1," + std::to_string(server.Port());
}

long Received(const TdsStandIn& server, const std::string& batch)
{
    const auto batches = server.Batches();
    return std::count(batches.begin(), batches.end(), batch);
}

TEST(OsqlUnderWine, SendsTheUsageUpdateOverAKerberosLogin)
{
    TdsStandIn server;
    const auto run = Osql(At(server), {"-E", "-Q", UsageUpdate});
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Received(server, UsageUpdate), 1);
    EXPECT_EQ(server.SuccessfulLogins(), 1);
}

TEST(OsqlUnderWine, NamesOutsideAsciiArriveIntact)
{
    TdsStandIn server;
    const std::string query = "DBCC UPDATEUSAGE(N'Ünïcødé 数据') WITH NO_INFOMSGS, COUNT_ROWS";
    const auto run = Osql(At(server), {"-E", "-Q", query});
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(Received(server, query), 1) << ::testing::PrintToString(server.Batches());
}

// The message's level and line are fields only the driver itself keeps (unixODBC's copies of its records lack
// them), and FreeTDS lives on the Linux side of Wine, out of osql.exe's reach: the header names what is known.
TEST(OsqlUnderWine, PrintsServerErrorsInWindowsLinesAndFailsOnlyWithB)
{
    TdsStandIn server;
    server.AddReply("UPDATEUSAGE('Nope')", {2520, 1, 16, "Could not find database 'Nope'."});
    const std::string query = "DBCC UPDATEUSAGE('Nope') WITH NO_INFOMSGS, COUNT_ROWS";

    const auto strict = Osql(At(server), {"-E", "-b", "-Q", query});
    EXPECT_EQ(strict.exitStatus, 1) << strict.err;
    EXPECT_EQ(strict.out, "Msg 2520, Server STANDIN\r\nCould not find database 'Nope'.\r\n");

    const auto lenient = Osql(At(server), {"-E", "-Q", query});
    EXPECT_EQ(lenient.exitStatus, 0) << lenient.err;
    EXPECT_EQ(lenient.out, strict.out);
    EXPECT_EQ(Received(server, query), 2);
}

TEST(OsqlUnderWine, PrintsResultSetsAsColumns)
{
    TdsStandIn server;
    server.SetCatalog({{"master", true}, {"Sales", false}});
    const auto run = Osql(At(server), {"-E", "-Q", "SELECT name, is_system FROM sys.databases ORDER BY name"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.rfind("name ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\r\nmaster "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\r\nSales "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\r\n\r\n(2 rows affected)\r\n"), std::string::npos) << run.out;
}

TEST(OsqlUnderWine, WithoutATicketTheLoginFailsWithinTheLoginTimeout)
{
    TdsStandIn server;
    const std::string noCache = std::string("KRB5CCNAME=FILE:") + std::getenv("TALLYRUN_TEST_KDC_DIR") + "/none";
    const auto run = Osql(At(server), {"-E", "-b", "-l", "5", "-Q", UsageUpdate}, {noCache});
    EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("osql: cannot connect to " + At(server) + ":\r\n", 0), 0u) << run.err;
    EXPECT_LT(run.elapsed, 5s + WineStart);
    EXPECT_EQ(server.SuccessfulLogins(), 0);
    EXPECT_EQ(server.Batches(), std::vector<std::string>{});
}

// osql.exe asks the browser for the instance's port itself, through Winsock, and hands FreeTDS the port.
TEST(OsqlUnderWine, FindsANamedInstanceThroughTheSqlBrowser)
{
    TdsStandIn server;
    InstanceRecord sales;
    sales.server = "STANDIN";
    sales.instance = "SALESINST";
    sales.tcpPort = server.Port();
    ResponderOptions options;
    options.port = 1434;
    options.instances = {sales};
    std::unique_ptr<SsrpResponder> browser;
    try {
        browser = std::make_unique<SsrpResponder>(std::move(options));
    } catch (const Error& error) {
        GTEST_SKIP() << "UDP 127.0.0.1:1434 is taken: " << error.Description();
    }

    const auto run = Osql("127.0.0.1\\salesinst", {"-E", "-b", "-l", "5", "-Q", UsageUpdate});
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(Received(server, UsageUpdate), 1);
    ASSERT_EQ(browser->Requests().size(), 1u);
    EXPECT_EQ(browser->Requests().front().front(), 0x04) << "not an instance lookup";

    const auto unknown = Osql("127.0.0.1\\NOSUCH", {"-E", "-b", "-l", "3", "-Q", UsageUpdate});
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_NE(unknown.err.find("NOSUCH"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace tallyrun::testing
