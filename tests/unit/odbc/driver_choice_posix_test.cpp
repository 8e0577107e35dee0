// Driver choice where Debian's FreeTDS library may be installed without being registered.
#include "sqlclient/odbc/driver.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

TEST(DriverChoice, FallsBackToTheFreeTdsLibraryThenSaysWhatToInstall)
{
    std::string asked;
    const auto debianOnly = [&](const std::string& path) {
        asked = path;
        return true;
    };
    EXPECT_EQ(ChooseDriver({"PostgreSQL"}, debianOnly), (Driver{DriverKind::FreeTds, FreeTdsDebianLibrary}));
    EXPECT_EQ(asked, FreeTdsDebianLibrary);

    try {
        ChooseDriver({}, [](const std::string&) { return false; });
        FAIL() << "a driver was chosen where none is installed";
    } catch (const Error& error) {
        EXPECT_NE(error.Description().find("tdsodbc"), std::string::npos) << error.Description();
    }
}

TEST(DriverChoice, TheOldSqlServerDriverIsOnlyWindowsOwn)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(ChooseDriver({"SQL Server", "FreeTDS"}, none), (Driver{DriverKind::FreeTds, "FreeTDS"}));
}

}  // namespace
}  // namespace tallyrun::odbc
