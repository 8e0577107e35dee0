// Objects made by ProgID; the server listing is pointed at stand-in browsers on loopback addresses only.
#include "platform/sqldmo/system_objects.h"
#include "sqlclient/ssrp/listing.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tallyrun::sqldmo {
namespace {

using namespace std::chrono_literals;

SystemObjectSettings Listing(ServerListing listing)
{
    SystemObjectSettings settings;
    settings.serverListing = std::move(listing);
    return settings;
}

TEST(Factory, RefusesUnknownProgIdsReadably)
{
    SystemObjectFactory factory(Listing([] { return std::vector<std::string>{}; }));
    for (const std::string_view progId : {"SQLDMO.Nothing", "", "SQLDMO.Application.9.0"}) {
        SCOPED_TRACE(progId);
        const Error error = fixtures::RaisedError([&] { factory.CreateObject(progId); });
        EXPECT_EQ(error.Number(), errc::CannotCreateObject);
        EXPECT_NE(error.Description().find("\"" + std::string(progId) + "\""), std::string::npos)
            << error.Description();
    }
    EXPECT_EQ(factory.CreateObject("sqldmo.application.8.0")->TypeName(), "Application");
}

TEST(Factory, ApplicationListsTheInstancesThatAnswer)
{
    testing::ResponderOptions one;
    one.address = "127.0.0.2";
    one.instances = {{"HOSTA"}, {"HOSTA", "SQLEXPRESS"}};
    testing::ResponderOptions two;
    two.address = "127.0.0.3";
    two.instances = {{"HOSTB", "Dev"}};
    testing::SsrpResponder first(one);
    testing::SsrpResponder second(two);

    ssrp::Targets targets;
    targets.targets = {{first.Address(), ssrp::ListRequest::UnicastEx, first.Port()},
                       {second.Address(), ssrp::ListRequest::UnicastEx, second.Port()}};
    targets.timing = {1000ms, 300ms, 5000ms};
    SystemObjectFactory factory(Listing([targets] { return ssrp::ListInstances(targets); }));

    const auto application = As<Application>(factory.CreateObject(ApplicationProgId));
    const auto names = As<NameList>(application->ListAvailableSQLServers());
    std::vector<std::string> listed;
    for (std::int32_t index = 1; index <= names->Count(); ++index)
        listed.push_back(names->Item(index));
    std::ranges::sort(listed);
    EXPECT_EQ(listed, (std::vector<std::string>{"HOSTA", "HOSTA\\SQLEXPRESS", "HOSTB\\Dev"}));
}

}  // namespace
}  // namespace tallyrun::sqldmo
