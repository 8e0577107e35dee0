// One instance's port asked of a stand-in browser on a loopback address: the answer, resends, and the time bound.
#include "sqlclient/ssrp/instance_lookup.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

namespace tallyrun::ssrp {
namespace {

using namespace std::chrono_literals;
using testing::ResponderOptions;
using testing::ResponseDatagram;
using testing::SsrpResponder;
using Clock = std::chrono::steady_clock;

Endpoint BrowserOf(const SsrpResponder& responder) { return {*ParseIpv4(responder.Address()), responder.Port()}; }

TEST(InstanceLookup, SkipsJunkAndReturnsTheNamedPort)
{
    ResponderOptions options;
    options.instances = {{"HOST", "SALES", "16.0", false, 50123}};
    options.rawInstanceAnswers = {{"JUNK", ResponseDatagram("garbage")}};
    SsrpResponder browser(options);

    EXPECT_EQ(LookupInstancePort(BrowserOf(browser), "sales", 2000ms), 50123);
    EXPECT_EQ(LookupInstancePort(BrowserOf(browser), "junk", 300ms), std::nullopt);
    const auto requests = browser.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), (std::vector<std::uint8_t>{0x04, 's', 'a', 'l', 'e', 's', 0}));
}

TEST(InstanceLookup, ResendsAFewTimesThenGivesUpAtTheBound)
{
    ResponderOptions options;
    options.instances = {{"HOST", "SALES", "16.0", false, 50123}};
    SsrpResponder browser(options);

    const auto start = Clock::now();
    EXPECT_EQ(LookupInstancePort(BrowserOf(browser), "NOSUCH", 800ms), std::nullopt);
    const auto elapsed = Clock::now() - start;

    EXPECT_GE(elapsed, 800ms);
    EXPECT_LT(elapsed, 2500ms);
    const auto sent = browser.Requests().size();
    EXPECT_GE(sent, 2u);
    EXPECT_LE(sent, 4u);
}

}  // namespace
}  // namespace tallyrun::ssrp
