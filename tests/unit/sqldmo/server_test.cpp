// The server object's own refusals, which come before any connection is tried.
#include "platform/sqldmo/system_objects.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::sqldmo {
namespace {

std::unique_ptr<SQLServer> MakeServer()
{
    SystemObjectSettings settings;
    settings.server.driver = odbc::Driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};
    SystemObjectFactory factory(settings);
    return As<SQLServer>(factory.CreateObject(ServerProgId));
}

TEST(Server, DisconnectWithoutConnectionIsHarmlessAndNothingIsListed)
{
    const auto server = MakeServer();
    EXPECT_NO_THROW(server->Disconnect());
    EXPECT_NO_THROW(server->Disconnect());
    const Error error = fixtures::RaisedError([&] { server->GetDatabases(); });
    EXPECT_NE(error.Description().find("not connected"), std::string::npos) << error.Description();
}

TEST(Server, RefusesAPlaceholderOrUntrustedLoginBeforeTouchingTheNetwork)
{
    const auto server = MakeServer();
    EXPECT_FALSE(server->LoginSecure());
    EXPECT_THROW(server->Connect("localhost,1"), Error);

    server->SetLoginSecure(true);
    const Error error = fixtures::RaisedError([&] { server->Connect("<Server Name>"); });
    EXPECT_EQ(error.Number(), errc::InvalidArgument);
    EXPECT_NE(error.Description().find("\"<Server Name>\""), std::string::npos) << error.Description();
    EXPECT_THROW(server->GetDatabases(), Error) << "a failed connect leaves the object unconnected";
}

}  // namespace
}  // namespace tallyrun::sqldmo
