#include "sqlclient/odbc/session.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

ConnectOptions To(const testing::TdsStandIn& server)
{
    ConnectOptions options;
    options.server = "localhost," + std::to_string(server.Port());
    options.driver = Driver{DriverKind::FreeTds, FreeTdsDebianLibrary};
    return options;
}

TEST(Session, ServerErrorsKeepTheirFieldsAndRaiseFromQuery)
{
    testing::TdsStandIn server;
    server.AddReply("sys.databases", {916, 1, 14, "Der Server-Prinzipal kann nicht auf „Ünïcødé“ zugreifen."});
    Session session(To(server));
    try {
        Query(session, "SELECT name FROM sys.databases");
        FAIL() << "the error was not raised";
    } catch (const OdbcError& error) {
        EXPECT_EQ(error.Number(), 916);
        EXPECT_EQ(error.Description(), "Der Server-Prinzipal kann nicht auf „Ünïcødé“ zugreifen.");
        ASSERT_EQ(error.Records().size(), 1u);
        EXPECT_EQ(error.Records()[0].severity, 14);
        EXPECT_EQ(error.Records()[0].line, 1);
        EXPECT_EQ(error.Records()[0].server, "STANDIN");
    }
}

}  // namespace
}  // namespace tallyrun::odbc
