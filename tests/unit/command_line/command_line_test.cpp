#include "main_window/command_line.h"

#include "base/error.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tallyrun {
namespace {

const std::string Query = " -E -Q \"DBCC UPDATEUSAGE(";
const std::string Options = ") WITH NO_INFOMSGS, COUNT_ROWS\"";

TEST(OsqlCommandLine, TakesTheNamesAsTyped)
{
    EXPECT_EQ(OsqlCommandLine("SRV1", "Sales"),
              "osql -S SRV1 -E -Q \"DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine("tcp:sql01.example.com,1433", "<Database Name>"),
              "osql -S tcp:sql01.example.com,1433" + Query + "'<Database Name>'" + Options);
    EXPECT_EQ(OsqlCommandLine("(local)\\SQLEXPRESS", ""), "osql -S (local)\\SQLEXPRESS" + Query + "''" + Options);
    EXPECT_EQ(OsqlCommandLine("SRV1", " Sales\t"), "osql -S SRV1" + Query + "' Sales\t'" + Options);
}

TEST(OsqlCommandLine, MendsDatabaseNamesThatWouldBreakTheQuery)
{
    EXPECT_EQ(OsqlCommandLine("SRV1", "O'Brien''s"), "osql -S SRV1" + Query + "'O''Brien''''s'" + Options);
    EXPECT_EQ(OsqlCommandLine("SRV1", "d'\xE6\x97\xA5"), "osql -S SRV1" + Query + "N'd''\xE6\x97\xA5'" + Options);
}

// A Server field the client would read as more than a server name starts nothing, and says why in the words the
// database list uses for the same text.
TEST(OsqlCommandLine, RefusesWhatIsNotAServerNameAndADoubleQuoteInTheDatabaseName)
{
    for (const auto& [server, database, told] : {
             std::tuple{"localhost,1433 -N o", "Sales", "\"localhost,1433 -N o\" is not a server name: it contains a space."},
             std::tuple{"SRV1 -C", "Sales", "it contains a space"},
             std::tuple{"-dx};Encryption=off", "Sales", "it contains a brace"},
             std::tuple{"<Server Name>", "Sales", "it contains the character '<'"},
             std::tuple{"SRV\"1", "Sales", "it contains a quote"},
             std::tuple{"", "Sales", "No server name was given."},
             std::tuple{"SRV1", "Sa\"les", "The \"Database Name\" field contains a double quote"},
         }) {
        SCOPED_TRACE(server);
        const Error error = fixtures::RaisedError([&] { OsqlCommandLine(server, database); });
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_NE(error.Description().find(told), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace tallyrun
