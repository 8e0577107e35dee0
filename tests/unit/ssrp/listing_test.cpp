// Listing against stand-in browsers on loopback addresses: names, order, timing windows, hostile answers, failed
// sends; and one instance's port asked of one. Every target here is a 127.x address.
#include "platform/core/error.h"
#include "sqlclient/ssrp/instance_lookup.h"
#include "sqlclient/ssrp/listing.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

#include <memory>

namespace tallyrun::ssrp {
namespace {

using namespace std::chrono_literals;
using testing::InstanceRecord;
using testing::RecordText;
using testing::ResponderOptions;
using testing::ResponseDatagram;
using testing::SsrpResponder;
using Names = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

ResponderOptions On(const char* address, std::vector<InstanceRecord> instances,
                    std::chrono::milliseconds delay = 0ms)
{
    ResponderOptions options;
    options.address = address;
    options.instances = std::move(instances);
    options.delay = delay;
    return options;
}

Target To(const SsrpResponder& responder, ListRequest request = ListRequest::UnicastEx)
{
    return {responder.Address(), request, responder.Port()};
}

Targets Ask(std::vector<Target> targets, Timing timing)
{
    Targets t;
    t.targets = std::move(targets);
    t.timing = timing;
    return t;
}

TEST(Listing, NamesEveryInstanceOnceInOrderOfArrival)
{
    SsrpResponder first(On("127.0.0.2", {{"HOSTA"}, {"HOSTA", "SQLEXPRESS"}}));
    SsrpResponder second(On("127.0.0.3", {{"HOSTB", "Dev"}, {"hosta"}}, 150ms));
    SsrpResponder third(On("127.0.0.4", {{"HOSTC", "SQLEXPRESS"}, {"HOSTB", "DEV"}}, 300ms));

    const Names names = ListInstances(
        Ask({To(third), To(second), To(first, ListRequest::BroadcastEx)}, {1000ms, 800ms, 5000ms}));

    EXPECT_EQ(names, (Names{"HOSTA", "HOSTA\\SQLEXPRESS", "HOSTB\\Dev", "HOSTC\\SQLEXPRESS"}));
    EXPECT_EQ(first.Requests(), (std::vector<std::vector<std::uint8_t>>{{0x02}}));
    EXPECT_EQ(second.Requests(), (std::vector<std::vector<std::uint8_t>>{{0x03}}));
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
            const std::string address = "127.0.0." + std::to_string(browsers.size() + 2);
            ResponderOptions options = On(address.c_str(), {{name ? name : "MUTE"}}, delay);
            options.silent = name == nullptr;
            targets.push_back(To(*browsers.emplace_back(std::make_unique<SsrpResponder>(options))));
        }
        const auto start = Clock::now();
        EXPECT_EQ(ListInstances(Ask(targets, c.timing)), c.listed);
        const auto elapsed = Clock::now() - start;
        EXPECT_GE(elapsed, c.atLeast);
        EXPECT_LT(elapsed, c.below);
        EXPECT_EQ(browsers.front()->Requests().size(), 1u);
    }
}

TEST(Listing, MalformedAndSpoofedAnswersNeverReachTheList)
{
    const std::string good = RecordText({"GOOD", "SQL1"});
    ResponderOptions options = On("127.0.0.2", {});
    options.rawAnswers = {
        ResponseDatagram(good, static_cast<std::uint16_t>(good.size() + 4)),  // size field says more
        ResponseDatagram(good.substr(0, good.size() / 2)),                     // truncated record
        ResponseDatagram(good.substr(0, good.size() - 1)),                     // no ";;"
        ResponseDatagram(RecordText({std::string(300, 'L')})),                 // oversized name
        ResponseDatagram(RecordText({"EVIL HOST"}) + RecordText({"EVIL", "X\" -Q \"DROP"}) +
                         RecordText({"EVIL\x07"}) + RecordText({"EVIL", "a\tb"})),
        ResponseDatagram(good),
    };
    SsrpResponder hostile(options);

    EXPECT_EQ(ListInstances(Ask({To(hostile)}, {1000ms, 500ms, 5000ms})), (Names{"GOOD\\SQL1"}));
}

TEST(Listing, SkipsTargetsItCannotSendToAndFailsWhenThereIsNoOther)
{
    SsrpResponder local(On("127.0.0.1", {{"LOCAL"}}));
    const Target badAddress{"127.0.0.300", ListRequest::UnicastEx, local.Port()};
    const Target notAnAddress{"not-an-address", ListRequest::UnicastEx, local.Port()};
    const Target badPort{"127.0.0.1", ListRequest::UnicastEx, std::uint16_t{0}};
    EXPECT_EQ(ListInstances(Ask({badAddress, notAnAddress, badPort, To(local)}, {1000ms, 300ms, 5000ms})),
              (Names{"LOCAL"}));
    for (const auto& targets : {std::vector<Target>{badAddress, notAnAddress, badPort}, std::vector<Target>{}}) {
        const Error error = fixtures::RaisedError([&] { ListInstances(Ask(targets, {300ms, 300ms, 1000ms})); });
        EXPECT_EQ(error.Number(), errc::NoTargetReached);
        EXPECT_FALSE(error.Description().empty());
    }
}

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
