// Which connections get their instance's port from the SQL Browser before the driver starts, asked of a stand-in
// browser on a free loopback port. An unknown instance is covered end to end by the osql integration tests.
#include "sqlclient/odbc/instance_port.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;

TEST(InstancePort, OnlyFreeTdsToANamedInstanceWithoutAPortAsksAndGetsThePortWithTheHostAsTyped)
{
    testing::ResponderOptions options;
    options.instances = {{"HOST", "SALESINST", "16.0", false, 50123}};
    testing::SsrpResponder browser(options);
    for (const auto& [kind, server] : {std::pair{DriverKind::Microsoft, "127.0.0.1\\SALESINST"},
                                       std::pair{DriverKind::Microsoft18, "127.0.0.1\\SALESINST"},
                                       std::pair{DriverKind::FreeTds, "127.0.0.1\\SALESINST,1500"},
                                       std::pair{DriverKind::FreeTds, "127.0.0.1"}}) {
        const auto typed = ParseServerName(server);
        EXPECT_EQ(ResolveConnectTarget(kind, typed, 5s, browser.Port()).address, typed) << server;
    }
    EXPECT_TRUE(browser.Requests().empty());

    const auto target = ResolveConnectTarget(DriverKind::FreeTds, ParseServerName("(local)\\SalesInst"), 5s,
                                             browser.Port());
    ServerAddress expected = ParseServerName("localhost\\SalesInst");
    expected.port = 50123;
    EXPECT_EQ(target.address, expected);
    EXPECT_EQ(browser.Requests().size(), 1u);
}

}  // namespace
}  // namespace tallyrun::odbc
