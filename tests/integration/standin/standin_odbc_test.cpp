// The stand-in as the real FreeTDS ODBC driver sees it: Kerberos login, the database listing, configured
// messages, and a server that never answers.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sqlext.h>

#include "odbc_session.h"
#include "tds_standin.h"

namespace tallyrun::testing {
namespace {

constexpr const char* Listing = "SELECT name, is_system FROM sys.databases ORDER BY name";

std::string Address(const char* host, const TdsStandIn& standIn)
{
    return std::string(host) + "," + std::to_string(standIn.Port());
}

TEST(StandInOverOdbc, ListsTheWholeCatalogThroughEitherServerName)
{
    TdsStandIn standIn;
    // The most rows a listing may hold, with names that need more than one byte in UTF-8 and both row kinds.
    std::vector<CatalogDatabase> catalog;
    for (int i = 0; i < 32767; ++i)
        catalog.push_back({"Base_\xC3\xA9t\xC3\xA9_" + std::to_string(i), i % 1000 == 0});
    standIn.SetCatalog(catalog);

    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        OdbcSession session(Address(host, standIn));
        const Outcome connected = session.Connect();
        ASSERT_TRUE(SQL_SUCCEEDED(connected.code))
            << (connected.diagnostics.empty() ? "" : connected.diagnostics.front().text);
        std::vector<std::vector<std::string>> rows;
        ASSERT_EQ(session.Execute(Listing, &rows).code, SQL_SUCCESS);
        ASSERT_EQ(rows.size(), catalog.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i][0], catalog[i].name) << "row " << i;
            ASSERT_EQ(rows[i][1], catalog[i].system ? "1" : "0") << "row " << i;
        }
    }
    EXPECT_EQ(standIn.SuccessfulLogins(), 2);
    EXPECT_EQ(standIn.Batches(), (std::vector<std::string>{Listing, Listing}));
}

TEST(StandInOverOdbc, ConfiguredMessagesAndServerNameReachTheDriver)
{
    TdsStandIn standIn({.serverName = "PAYROLL"});
    standIn.AddReply("DBCC UPDATEUSAGE('Missing')",
                     {2520, 11, 16, "Could not find database 'Missing'. The database either does not exist, or was "
                                    "dropped before a statement tried to use it."});
    standIn.AddReply("DBCC UPDATEUSAGE('Sales')", {2528, 1, 10, "DBCC execution completed."});
    OdbcSession session(Address("127.0.0.1", standIn));
    ASSERT_TRUE(SQL_SUCCEEDED(session.Connect().code));

    const Outcome failed = session.Execute("DBCC UPDATEUSAGE('Missing') WITH NO_INFOMSGS, COUNT_ROWS");
    EXPECT_EQ(failed.code, SQL_ERROR);
    ASSERT_FALSE(failed.diagnostics.empty());
    EXPECT_EQ(failed.diagnostics.front().native, 2520);
    EXPECT_NE(failed.diagnostics.front().text.find("Could not find database 'Missing'"), std::string::npos);

    const Outcome informed = session.Execute("DBCC UPDATEUSAGE('Sales') WITH COUNT_ROWS");
    EXPECT_EQ(informed.code, SQL_SUCCESS_WITH_INFO);
    ASSERT_FALSE(informed.diagnostics.empty());
    EXPECT_EQ(informed.diagnostics.front().native, 2528);

    std::vector<std::vector<std::string>> rows;
    EXPECT_EQ(session.Execute("SELECT @@SERVERNAME", &rows).code, SQL_SUCCESS);
    EXPECT_EQ(rows, std::vector<std::vector<std::string>>{{"PAYROLL"}});

    // Anything else is accepted without a result, and recorded verbatim.
    EXPECT_EQ(session.Execute("SET NOCOUNT ON").code, SQL_NO_DATA);
    EXPECT_EQ(standIn.Batches().back(), "SET NOCOUNT ON");
}

// The driver turns parameterised and prepared statements into procedure calls; the statement is recorded as the
// driver rewrote it, with its markers named.
TEST(StandInOverOdbc, AnswersParameterisedAndPreparedStatements)
{
    TdsStandIn standIn;
    standIn.SetCatalog({{"master", true}, {"Sales", false}});
    OdbcSession session(Address("127.0.0.1", standIn));
    ASSERT_TRUE(SQL_SUCCEEDED(session.Connect().code));

    const std::vector<std::vector<std::string>> expected = {{"master", "1"}, {"Sales", "0"}};
    std::vector<std::vector<std::string>> rows;
    EXPECT_EQ(session.Execute("SELECT name, is_system FROM sys.databases WHERE name <> ?", &rows, {"x"}).code,
              SQL_SUCCESS);
    EXPECT_EQ(rows, expected);
    rows.clear();
    EXPECT_EQ(session.Execute(Listing, &rows, {}, 2).code, SQL_SUCCESS);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(standIn.Batches(),
              (std::vector<std::string>{"SELECT name, is_system FROM sys.databases WHERE name <> @P1", Listing,
                                        Listing}));
}

TEST(StandInOverOdbc, RefusesAServerItsRealmDoesNotKnow)
{
    TdsStandIn standIn({.registerServicePrincipal = false});
    OdbcSession session(Address("127.0.0.1", standIn));
    EXPECT_EQ(session.Connect().code, SQL_ERROR);
    EXPECT_EQ(standIn.SuccessfulLogins(), 0);
}

TEST(StandInOverOdbc, SilentServerRunsIntoTheLoginTimeout)
{
    TdsStandIn standIn({.mode = TdsStandIn::Mode::Silent});
    OdbcSession session(Address("127.0.0.1", standIn), 2);
    const auto started = std::chrono::steady_clock::now();
    const Outcome outcome = session.Connect();
    EXPECT_EQ(outcome.code, SQL_ERROR);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_TRUE(standIn.Batches().empty());
}

}  // namespace
}  // namespace tallyrun::testing
