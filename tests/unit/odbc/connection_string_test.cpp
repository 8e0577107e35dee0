#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/driver.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

TEST(ConnectionString, TrustedConnectionForFreeTds)
{
    ConnectOptions options;
    options.database = "Ünïcødé";
    options.application = "osql";
    const Driver driver{DriverKind::FreeTds, FreeTdsDebianLibrary};
    EXPECT_EQ(BuildConnectionString(driver, ParseServerName("127.0.0.1,1433"), options),
              "DRIVER={/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so};SERVER=127.0.0.1;PORT=1433;"
              "TDS_Version=7.4;Trusted_Connection=Yes;DATABASE={Ünïcødé};APP={osql}");
}

TEST(ConnectionString, SqlLoginForMicrosoftsDriverLeavesTrustOut)
{
    ConnectOptions options;
    options.sqlLogin = SqlLogin{"sa", "se;cret}"};
    options.application.clear();
    const Driver driver{DriverKind::Microsoft, "ODBC Driver 18 for SQL Server"};
    EXPECT_EQ(BuildConnectionString(driver, ParseServerName("SRV1"), options),
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=tcp:SRV1,1433;UID={sa};PWD={se;cret}}}");
}

TEST(DriverChoice, PrefersMicrosoftsNewestThenFreeTds)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(ChooseDriver({"FreeTDS", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"}, none),
              (Driver{DriverKind::Microsoft, "ODBC Driver 18 for SQL Server"}));
    EXPECT_EQ(ChooseDriver({"PostgreSQL", "ODBC Driver 17 for SQL Server", "FreeTDS"}, none),
              (Driver{DriverKind::Microsoft, "ODBC Driver 17 for SQL Server"}));
    EXPECT_EQ(ChooseDriver({"SQLite3", "freetds"}, none), (Driver{DriverKind::FreeTds, "freetds"}));
    EXPECT_EQ(ChooseDriver({"FreeTDS 1.3 (64 bit)"}, none), (Driver{DriverKind::FreeTds, "FreeTDS 1.3 (64 bit)"}));
}

}  // namespace
}  // namespace tallyrun::odbc
