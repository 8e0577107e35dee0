// Driver choice where Debian's FreeTDS library may be installed without being registered.
#include "sqlclient/odbc/driver.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

TEST(DriverChoice, MicrosoftsNewestThenFreeTdsThenItsLibraryThenSaysWhatToInstall)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(ChooseDriver({"FreeTDS", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"}, none),
              (Driver{DriverKind::Microsoft18, "ODBC Driver 18 for SQL Server"}));
    // The old "SQL Server" driver is Windows' own.
    EXPECT_EQ(ChooseDriver({"SQL Server", "FreeTDS 1.3 (64 bit)"}, none),
              (Driver{DriverKind::FreeTds, "FreeTDS 1.3 (64 bit)"}));
    std::string asked;
    const auto debianOnly = [&](const std::string& path) {
        asked = path;
        return true;
    };
    EXPECT_EQ(ChooseDriver({"PostgreSQL"}, debianOnly), (Driver{DriverKind::FreeTds, FreeTdsDebianLibrary}));
    EXPECT_EQ(asked, FreeTdsDebianLibrary);

    const std::string told = fixtures::RaisedError([&] { ChooseDriver({}, none); }).Description();
    EXPECT_NE(told.find("tdsodbc"), std::string::npos) << told;
}

}  // namespace
}  // namespace tallyrun::odbc
