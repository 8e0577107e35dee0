#include "platform/odbc/session.h"
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

TEST(Session, WalksTheRowsOfAResultWithNamesOutsideAscii)
{
    testing::TdsStandIn server;
    server.SetCatalog({{"master", true}, {"Ünïcødé", false}, {"販売", false}});
    Session session(To(server));
    const QueryResult result = Query(session, "SELECT name, is_system FROM sys.databases");
    ASSERT_EQ(result.columns.size(), 2u);
    EXPECT_EQ(result.columns[0].name, "name");
    ASSERT_EQ(result.rows.size(), 3u);
    EXPECT_EQ(result.rows[1][0], "Ünïcødé");
    EXPECT_EQ(result.rows[2][0], "販売");
    EXPECT_EQ(result.rows[0][1], "1");
    EXPECT_EQ(result.rows[2][1], "0");
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

TEST(Session, BatchesCanRunOneAfterAnother)
{
    testing::TdsStandIn server;
    server.AddReply("first", {0, 1, 0, "from the first"});
    Session session(To(server));
    Batch first = session.Execute("PRINT 'first'");
    while (first.NextResult()) {
    }
    const auto messages = first.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Message(), "from the first");
    EXPECT_FALSE(first.HadError());

    Batch second = session.Execute("SELECT @@SERVERNAME");
    ASSERT_TRUE(second.NextResult());
    ASSERT_TRUE(second.NextRow());
    EXPECT_EQ(second.CurrentRow().at(0), "STANDIN");
    EXPECT_EQ(server.Batches().size(), 2u);
}

}  // namespace
}  // namespace tallyrun::odbc
