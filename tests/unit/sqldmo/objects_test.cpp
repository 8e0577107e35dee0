// The SQL management objects: the application's listing, and the server object's own refusals before any
// connection is tried.
#include "platform/sqldmo/name_list.h"
#include "platform/sqldmo/system_objects.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::sqldmo {
namespace {

const odbc::Driver FreeTds{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};

TEST(Factory, TheApplicationListsWhatTheServerListingFinds)
{
    SystemObjectFactory factory({.serverListing = [] { return std::vector<std::string>{"HOSTB\\Dev", "HOSTA"}; },
                                 .server = {.driver = FreeTds}});
    const auto application = As<Application>(factory.CreateObject(ApplicationProgId));
    const auto names = As<NameList>(application->ListAvailableSQLServers());
    ASSERT_EQ(names->Count(), 2);
    EXPECT_EQ(names->Item(1), "HOSTB\\Dev");
    EXPECT_EQ(names->Item(2), "HOSTA");
}

TEST(Server, RefusesAPlaceholderOrUntrustedLoginBeforeTouchingTheNetworkAndListsNothingUnconnected)
{
    SystemObjectFactory factory({.serverListing = {}, .server = {.driver = FreeTds}});
    const auto server = As<SQLServer>(factory.CreateObject(ServerProgId));
    const Error unconnected = fixtures::RaisedError([&] { server->GetDatabases(); });
    EXPECT_NE(unconnected.Description().find("not connected"), std::string::npos) << unconnected.Description();
    EXPECT_THROW(server->Connect("localhost,1"), Error);

    server->SetLoginSecure(true);
    const Error error = fixtures::RaisedError([&] { server->Connect("<Server Name>"); });
    EXPECT_EQ(error.Number(), errc::InvalidArgument);
    EXPECT_NE(error.Description().find("\"<Server Name>\""), std::string::npos) << error.Description();
    EXPECT_THROW(server->GetDatabases(), Error) << "a failed connect leaves the object unconnected";
}

}  // namespace
}  // namespace tallyrun::sqldmo
