// Driver choice on Windows: Windows' own "SQL Server" driver after Microsoft's newer ones, FreeTDS (what Wine lists
// from the host, which cannot be handed its settings file) last, and nothing looked for outside the driver manager.
#include "sqlclient/odbc/driver.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

TEST(DriverChoice, WindowsOwnDriverComesAfterMicrosoftsNewerOnesAndBeforeFreeTdsAndNoFileIsLookedFor)
{
    bool looked = false;
    const auto noFile = [&](const std::string&) {
        looked = true;
        return false;
    };
    EXPECT_EQ(ChooseDriver({"FreeTDS", "SQL Server", "ODBC Driver 17 for SQL Server"}, noFile),
              (Driver{DriverKind::Microsoft, "ODBC Driver 17 for SQL Server"}));
    EXPECT_EQ(ChooseDriver({"FreeTDS", "SQL Server Native Client 11.0", "sql server"}, noFile),
              (Driver{DriverKind::WindowsSqlServer, "sql server"}));
    EXPECT_EQ(ChooseDriver({"SQL Server Native Client 11.0", "FreeTDS"}, noFile),
              (Driver{DriverKind::FreeTdsWithoutSettings, "FreeTDS"}));
    const auto access = [&] { ChooseDriver({"Microsoft Access Driver (*.mdb, *.accdb)"}, noFile); };
    const std::string told = fixtures::RaisedError(access).Description();
    EXPECT_NE(told.find("\"ODBC Driver 18 for SQL Server\""), std::string::npos) << told;
    EXPECT_EQ(told.find("apt-get"), std::string::npos) << told;
    EXPECT_FALSE(looked);
}

}  // namespace
}  // namespace tallyrun::odbc
