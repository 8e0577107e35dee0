#include "main_window/command_line.h"

#include "platform/core/error.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

TEST(OsqlCommandLine, TakesTheNamesAsTyped)
{
    EXPECT_EQ(OsqlCommandLine("SRV1", "Sales"),
              "osql -S SRV1 -E -Q \"DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine("SRV1", "Sales").size(), 75U);
    EXPECT_EQ(OsqlCommandLine("<Server Name>", "<Database Name>"),
              "osql -S <Server Name> -E -Q \"DBCC UPDATEUSAGE('<Database Name>') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine("", ""), "osql -S  -E -Q \"DBCC UPDATEUSAGE('') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine(" SRV 1 ", "  Sales\t"),
              "osql -S  SRV 1  -E -Q \"DBCC UPDATEUSAGE('  Sales\t') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine("HOST\\INST", "a\\"),
              "osql -S HOST\\INST -E -Q \"DBCC UPDATEUSAGE('a\\') WITH NO_INFOMSGS, COUNT_ROWS\"");
}

TEST(OsqlCommandLine, DoublesSingleQuotesInTheDatabaseName)
{
    EXPECT_EQ(OsqlCommandLine("SRV'1", "O'Brien''s"),
              "osql -S SRV'1 -E -Q \"DBCC UPDATEUSAGE('O''Brien''''s') WITH NO_INFOMSGS, COUNT_ROWS\"");
}

TEST(OsqlCommandLine, WritesNamesBeyondAsciiAsUnicodeLiterals)
{
    EXPECT_EQ(OsqlCommandLine("SRV1", "Ventes_\xC3\xA9t\xC3\xA9"),
              "osql -S SRV1 -E -Q \"DBCC UPDATEUSAGE(N'Ventes_\xC3\xA9t\xC3\xA9') WITH NO_INFOMSGS, COUNT_ROWS\"");
    EXPECT_EQ(OsqlCommandLine("S\xC3\xA9rveur", "d'\xE6\x97\xA5"),
              "osql -S S\xC3\xA9rveur -E -Q \"DBCC UPDATEUSAGE(N'd''\xE6\x97\xA5') WITH NO_INFOMSGS, COUNT_ROWS\"");
}

TEST(OsqlCommandLine, RefusesADoubleQuoteNamingTheField)
{
    const auto refusal = [](const std::string& server, const std::string& database) {
        try {
            OsqlCommandLine(server, database);
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), errc::InvalidArgument);
            return error.Description();
        }
        ADD_FAILURE() << "no refusal for " << server << " / " << database;
        return std::string();
    };
    EXPECT_NE(refusal("SRV\"1", "Sales").find("\"Server\" field"), std::string::npos);
    EXPECT_NE(refusal("SRV1", "Sa\"les").find("\"Database Name\" field"), std::string::npos);
    EXPECT_NE(refusal("\"", "\"").find("\"Server\" field"), std::string::npos);
}

}  // namespace
}  // namespace tallyrun
