// Which addresses the programme's own listing asks, computed from an interface list; and listing against stand-in
// browsers on loopback addresses: names, order, timing windows, failed sends. Every target sent to is a 127.x address.
#include "base/error.h"
#include "sqlclient/ssrp/listing.h"
#include "sqlclient/ssrp/targets.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

#include <memory>

namespace tallyrun::ssrp {
namespace {

using namespace std::chrono_literals;
using testing::ResponderOptions;
using testing::SsrpResponder;
using Names = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

Target To(const SsrpResponder& responder, ListRequest request = ListRequest::UnicastEx)
{
    return {responder.Address(), request, responder.Port()};
}

TEST(DefaultTargets, BroadcastsOnEveryUsableSubnetAndAsksTheLocalHost)
{
    // Address, netmask, up, loopback, can broadcast.
    const Targets targets = TargetsForInterfaces({
        {0x7F000001u, 0xFF000000u, true, true, false},   // loopback
        {0xC0000202u, 0xFFFFFF00u, true, false, true},   // 192.0.2.2/24
        {0xC6336410u, 0xFFFFFFF0u, true, false, true},   // 198.51.100.16/28
        {0xCB007101u, 0xFFFFFFFFu, true, false, true},   // /32: no broadcast address
        {0x0A000005u, 0xFF000000u, false, false, true},  // down
        {0x0A080001u, 0xFFFFFF00u, true, false, false},  // point to point
    });

    using Asked = std::vector<std::pair<std::string, ListRequest>>;
    Asked asked;
    for (const Target& target : targets.targets)
        asked.emplace_back(target.address, target.request);
    using enum ListRequest;
    EXPECT_EQ(asked, (Asked{{"255.255.255.255", BroadcastEx}, {"192.0.2.255", BroadcastEx},
                            {"198.51.100.31", BroadcastEx}, {"127.0.0.1", UnicastEx}}));
    EXPECT_EQ(targets.port, 1434);
}

TEST(Listing, NamesEveryInstanceOnceInOrderOfArrival)
{
    SsrpResponder first({.address = "127.0.0.2", .instances = {{"HOSTA"}, {"HOSTA", "SQLEXPRESS"}}});
    SsrpResponder second({.address = "127.0.0.3", .instances = {{"HOSTB", "Dev"}, {"hosta"}}, .delay = 150ms});
    SsrpResponder third(
        {.address = "127.0.0.4", .instances = {{"HOSTC", "SQLEXPRESS"}, {"HOSTB", "DEV"}}, .delay = 300ms});

    const Names names = ListInstances(
        {.targets = {To(third), To(second), To(first, ListRequest::BroadcastEx)}, .timing = {1000ms, 800ms, 5000ms}});

    EXPECT_EQ(names, (Names{"HOSTA", "HOSTA\\SQLEXPRESS", "HOSTB\\Dev", "HOSTC\\SQLEXPRESS"}));
    EXPECT_EQ(first.Requests(), (std::vector<std::vector<std::uint8_t>>{{0x02}}));
}

// After the first answer window each answer opens a quiet window, and the hard cap ends the wait all the same; a
// listing nobody answers ends with the first window.
TEST(Listing, WaitsAQuietWindowAfterEachAnswerUpToTheHardCap)
{
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, std::chrono::milliseconds>> answers;  // name and delay
        Timing timing;
        Names listed;
        std::chrono::milliseconds atLeast, below;
    };
    const Case cases[] = {
        {"quiet window", {{"FAST", 0ms}, {"SLOW", 500ms}, {"SLOWER", 1000ms}, {"LATE", 3000ms}},
         {300ms, 800ms, 5000ms}, {"FAST", "SLOW", "SLOWER"}, 1000ms, 3000ms},
        {"hard cap", {{"EARLY", 0ms}, {"MIDDLE", 400ms}, {"LATE", 2000ms}}, {1000ms, 2500ms, 1200ms},
         {"EARLY", "MIDDLE"}, 1000ms, 2000ms},
        {"nobody answers", {{nullptr, 0ms}}, {300ms, 200ms, 5000ms}, {}, 300ms, 2500ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::unique_ptr<SsrpResponder>> browsers;
        std::vector<Target> targets;
        for (const auto& [name, delay] : c.answers) {
            const ResponderOptions options{.address = "127.0.0." + std::to_string(browsers.size() + 2),
                                           .instances = {{name ? name : "MUTE"}}, .delay = delay, .silent = !name};
            targets.push_back(To(*browsers.emplace_back(std::make_unique<SsrpResponder>(options))));
        }
        const auto start = Clock::now();
        EXPECT_EQ(ListInstances({.targets = targets, .timing = c.timing}), c.listed);
        const auto elapsed = Clock::now() - start;
        EXPECT_GE(elapsed, c.atLeast);
        EXPECT_LT(elapsed, c.below);
        EXPECT_EQ(browsers.front()->Requests().size(), 1u);
    }
}

TEST(Listing, SkipsTargetsItCannotSendToAndFailsWhenThereIsNoOther)
{
    SsrpResponder local({.instances = {{"LOCAL"}}});
    const Target badAddress{"127.0.0.300", ListRequest::UnicastEx, local.Port()};
    const Target badPort{"127.0.0.1", ListRequest::UnicastEx, std::uint16_t{0}};
    EXPECT_EQ(ListInstances({.targets = {badAddress, badPort, To(local)}, .timing = {1000ms, 300ms, 5000ms}}),
              (Names{"LOCAL"}));
    const Error error = fixtures::RaisedError(
        [&] { ListInstances({.targets = {badAddress, badPort}, .timing = {300ms, 300ms, 1000ms}}); });
    EXPECT_EQ(error.Number(), errc::NoTargetReached);
}

}  // namespace
}  // namespace tallyrun::ssrp
