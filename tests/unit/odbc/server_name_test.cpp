// How typed server names read, and the connection string each driver is given for them.
#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/server_name.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

struct Form {
    const char* typed;
    const char* freeTds;    // attributes for FreeTDS
    const char* microsoft;  // attributes for Microsoft's driver
    bool local;
};

TEST(ServerNames, BecomeTheAttributesEachDriverUnderstands)
{
    for (const Form& form : {
        Form{"SRV1", "SERVER=SRV1;PORT=1433", "SERVER=tcp:SRV1,1433", false},
        Form{"SRV1\\SQL_EXP$#2", "SERVER=SRV1\\SQL_EXP$#2", "SERVER=tcp:SRV1\\SQL_EXP$#2", false},
        Form{"SRV1,14330", "SERVER=SRV1;PORT=14330", "SERVER=tcp:SRV1,14330", false},
        Form{"srv1\\inst,2000", "SERVER=srv1;PORT=2000", "SERVER=tcp:srv1,2000", false},
        Form{"(local)", "SERVER=localhost;PORT=1433", "SERVER=tcp:localhost,1433", true},
        Form{"(LOCAL)\\SQLEXPRESS", "SERVER=localhost\\SQLEXPRESS", "SERVER=tcp:localhost\\SQLEXPRESS", true},
        Form{".,1500", "SERVER=localhost;PORT=1500", "SERVER=tcp:localhost,1500", true},
        Form{"LocalHost", "SERVER=localhost;PORT=1433", "SERVER=tcp:localhost,1433", true}}) {
        SCOPED_TRACE(form.typed);
        const ServerAddress address = ParseServerName(form.typed);
        EXPECT_EQ(ServerAttributes(DriverKind::FreeTds, address), form.freeTds);
        EXPECT_EQ(ServerAttributes(DriverKind::Microsoft, address), form.microsoft);
        EXPECT_EQ(address.local, form.local);
    }
}

struct Malformed {
    std::string typed;
    const char* reason;  // part of the message that names the mistake
};

TEST(ServerNames, MalformedOnesAreRefusedWithTheReason)
{
    for (const Malformed& bad : {Malformed{"", "No server name"},
                    Malformed{"<Server Name>", "'<'"},
                    Malformed{"my server", "space"},
                    Malformed{"\"SRV1\"", "quote"},
                    Malformed{"SRV1;UID=sa", "semicolon"},
                    Malformed{"SRV1}", "brace"},
                    Malformed{"SRV1,", "port after the comma is missing"},
                    Malformed{"SRV1,65536", "from 1 to 65535"},
                    Malformed{"SRV1\\", "instance name after the backslash is missing"},
                    Malformed{"SRV1\\ABCDEFGHIJKLMNOPQ", "longer than 16"},
                    Malformed{"np:SRV1", "only TCP connections are supported, and \"np:\""},
                    Malformed{"tcp:SRV1:1433", "more than one ':'"},
                    Malformed{std::string(254, 'a'), "longer than 253"},
                    Malformed{"tcp:", "host name is missing"},
                    Malformed{"-E", "starts or ends with '-'"},
                    Malformed{"s\x80rver", "outside ASCII"}}) {
        SCOPED_TRACE(bad.typed);
        const Error error = fixtures::RaisedError([&] { ParseServerName(bad.typed); });
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_NE(error.Description().find(bad.reason), std::string::npos) << error.Description();
    }
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

}  // namespace
}  // namespace tallyrun::odbc
