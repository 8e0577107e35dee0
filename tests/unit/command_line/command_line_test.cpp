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
    EXPECT_EQ(OsqlCommandLine("<Server Name>", "<Database Name>"),
              "osql -S <Server Name>" + Query + "'<Database Name>'" + Options);
    EXPECT_EQ(OsqlCommandLine("", ""), "osql -S " + Query + "''" + Options);
    EXPECT_EQ(OsqlCommandLine(" SRV 1 ", " Sales\t"), "osql -S  SRV 1 " + Query + "' Sales\t'" + Options);
}

TEST(OsqlCommandLine, MendsNamesThatWouldBreakTheQuery)
{
    EXPECT_EQ(OsqlCommandLine("SRV'1", "O'Brien''s"), "osql -S SRV'1" + Query + "'O''Brien''''s'" + Options);
    EXPECT_EQ(OsqlCommandLine("S\xC3\xA9rveur", "d'\xE6\x97\xA5"),
              "osql -S S\xC3\xA9rveur" + Query + "N'd''\xE6\x97\xA5'" + Options);

    for (const auto& [server, database, field] : {std::tuple{"SRV\"1", "Sales", "\"Server\" field"},
                                                  std::tuple{"SRV1", "Sa\"les", "\"Database Name\" field"}}) {
        SCOPED_TRACE(database);
        const Error error = fixtures::RaisedError([&] { OsqlCommandLine(server, database); });
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_NE(error.Description().find(field), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace tallyrun
