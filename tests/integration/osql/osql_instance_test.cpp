// A named instance is found the way SQL Server tools find one: the driver asks the SQL Browser on UDP 1434 of the
// host for the instance's port. The browser here is a loopback stand-in on the standard port.
#include "child_process.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"
#include "tds_standin.h"

#include "platform/core/error.h"

#include <gtest/gtest.h>

#include <memory>

namespace tallyrun::testing {
namespace {

constexpr std::uint16_t BrowserPort = 1434;

// A browser on the standard port, or nothing when the port is taken (the caller then skips).
std::unique_ptr<SsrpResponder> BrowserOnStandardPort(std::vector<InstanceRecord> instances, std::string& whyNot)
{
    ResponderOptions options;
    options.port = BrowserPort;
    options.instances = std::move(instances);
    try {
        return std::make_unique<SsrpResponder>(std::move(options));
    } catch (const Error& error) {
        whyNot = "UDP 127.0.0.1:1434 is taken, so no SQL Browser stand-in can listen there: " + error.Description();
        return nullptr;
    }
}

TEST(OsqlNamedInstance, ReachesTheInstanceThroughTheSqlBrowser)
{
    TdsStandIn server;
    InstanceRecord sales;
    sales.server = "localhost";
    sales.instance = "SALESINST";
    sales.tcpPort = server.Port();
    std::string whyNot;
    const auto browser = BrowserOnStandardPort({sales}, whyNot);
    if (!browser)
        GTEST_SKIP() << whyNot;

    const std::string query = "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS";
    const auto run = RunChild({OSQL_PATH, "-S", "localhost\\SALESINST", "-E", "-b", "-l", "5", "-Q", query});

    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    const auto batches = server.Batches();
    EXPECT_EQ(std::count(batches.begin(), batches.end(), query), 1);
    ASSERT_FALSE(browser->Requests().empty());
    EXPECT_EQ(browser->Requests().front().front(), 0x04) << "not an instance lookup";
}

TEST(OsqlNamedInstance, AnUnknownInstanceFailsClearlyWithinTheLoginTimeout)
{
    std::string whyNot;
    const auto browser = BrowserOnStandardPort({}, whyNot);
    if (!browser)
        GTEST_SKIP() << whyNot;

    const auto run = RunChild({OSQL_PATH, "-S", "localhost\\NOSUCH", "-E", "-b", "-l", "3", "-Q", "select 1"});

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("NOSUCH"), std::string::npos) << run.err;
    EXPECT_LT(run.elapsed, std::chrono::seconds(3 + 5));
}

}  // namespace
}  // namespace tallyrun::testing
