// Listing against stand-in browsers on loopback addresses: names, order, timing windows, hostile answers, failed
// sends. Every target here is a 127.x address.
#include "platform/core/error.h"
#include "sqlclient/ssrp/listing.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

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

TEST(Listing, WaitsAQuietWindowAfterEachAnswerPastTheFirstAnswerWindow)
{
    SsrpResponder fast(On("127.0.0.2", {{"FAST"}}));
    SsrpResponder slow(On("127.0.0.3", {{"SLOW"}}, 500ms));
    SsrpResponder slower(On("127.0.0.4", {{"SLOWER"}}, 1000ms));
    SsrpResponder late(On("127.0.0.5", {{"LATE"}}, 3000ms));

    const auto start = Clock::now();
    const Names names =
        ListInstances(Ask({To(fast), To(slow), To(slower), To(late)}, {300ms, 800ms, 5000ms}));

    EXPECT_EQ(names, (Names{"FAST", "SLOW", "SLOWER"}));
    EXPECT_LT(Clock::now() - start, 3000ms);
}

TEST(Listing, StopsAtTheHardCapWhileAnswersKeepComing)
{
    SsrpResponder early(On("127.0.0.2", {{"EARLY"}}));
    SsrpResponder middle(On("127.0.0.3", {{"MIDDLE"}}, 400ms));
    SsrpResponder late(On("127.0.0.4", {{"LATE"}}, 2000ms));

    const auto start = Clock::now();
    const Names names = ListInstances(Ask({To(early), To(middle), To(late)}, {1000ms, 2500ms, 1200ms}));

    EXPECT_EQ(names, (Names{"EARLY", "MIDDLE"}));
    EXPECT_LT(Clock::now() - start, 2000ms);
}

TEST(Listing, GivesUpAfterTheFirstAnswerWindowWhenNobodyAnswers)
{
    ResponderOptions options = On("127.0.0.2", {{"MUTE"}});
    options.silent = true;
    SsrpResponder mute(options);

    const auto start = Clock::now();
    EXPECT_TRUE(ListInstances(Ask({To(mute)}, {300ms, 200ms, 5000ms})).empty());
    const auto elapsed = Clock::now() - start;

    EXPECT_GE(elapsed, 300ms);
    EXPECT_LT(elapsed, 2500ms);
    EXPECT_EQ(mute.Requests().size(), 1u);
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

TEST(Listing, SkipsATargetItCannotSendTo)
{
    SsrpResponder local(On("127.0.0.1", {{"LOCAL"}}));
    const Target badAddress{"not-an-address", ListRequest::UnicastEx, local.Port()};
    const Target badPort{"127.0.0.1", ListRequest::UnicastEx, std::uint16_t{0}};

    EXPECT_EQ(ListInstances(Ask({badAddress, badPort, To(local)}, {1000ms, 300ms, 5000ms})), (Names{"LOCAL"}));
}

TEST(Listing, FailsWhenNoRequestCanBeSent)
{
    const Target badAddress{"127.0.0.300", ListRequest::UnicastEx, std::uint16_t{1434}};
    const Target badPort{"127.0.0.1", ListRequest::UnicastEx, std::uint16_t{0}};
    for (const auto& targets : {std::vector<Target>{badAddress, badPort}, std::vector<Target>{}}) {
        try {
            ListInstances(Ask(targets, {300ms, 300ms, 1000ms}));
            ADD_FAILURE() << "no error raised for " << targets.size() << " unusable targets";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), errc::NoTargetReached);
            EXPECT_FALSE(error.Description().empty());
        }
    }
}

}  // namespace
}  // namespace tallyrun::ssrp
