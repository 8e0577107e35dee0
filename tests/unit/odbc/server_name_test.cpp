// How typed server names read, the connection string each driver is given for them and for each encryption
// option, and which driver versions connect strictly; and which connections get their instance's port from the SQL
// Browser before the driver starts, asked of a stand-in browser on a free loopback port (an unknown instance is
// covered end to end by the osql integration tests).
#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/driver_profile.h"
#include "sqlclient/odbc/instance_port.h"
#include "sqlclient/odbc/server_name.h"
#include "tests/fixtures/errors/expect_error.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

using namespace std::chrono_literals;

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
        EXPECT_EQ(ProfileOf(DriverKind::FreeTds).serverAttributes(address), form.freeTds);
        EXPECT_EQ(ProfileOf(DriverKind::Microsoft).serverAttributes(address), form.microsoft);
        EXPECT_EQ(ProfileOf(DriverKind::Microsoft18).serverAttributes(address), form.microsoft);
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
    const Driver driver{DriverKind::Microsoft18, "ODBC Driver 18 for SQL Server"};
    EXPECT_EQ(BuildConnectionString(driver, ParseServerName("SRV1"), options),
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=tcp:SRV1,1433;Encrypt=Mandatory;UID={sa};PWD={se;cret}}}");
}

TEST(ConnectionString, EachDriverEncryptsAsAskedAndTrustsTheCertificateOnlyWhenTold)
{
    const struct {
        DriverKind kind;
        Encryption encryption;
        bool trust;
        const char* attributes;  // between the server's and the login's
    } cases[] = {
        {DriverKind::FreeTds, Encryption::Mandatory, false, ";TDS_Version=7.4;Encryption=require"},
        {DriverKind::FreeTds, Encryption::Optional, true, ";TDS_Version=7.4;Encryption=request"},
        {DriverKind::Microsoft18, Encryption::Mandatory, false, ";Encrypt=Mandatory"},
        {DriverKind::Microsoft18, Encryption::Mandatory, true, ";Encrypt=Mandatory;TrustServerCertificate=Yes"},
        {DriverKind::Microsoft18, Encryption::Strict, false, ";Encrypt=Strict"},
        {DriverKind::Microsoft18, Encryption::Optional, false, ";Encrypt=Optional"},
        {DriverKind::Microsoft, Encryption::Mandatory, false, ""},
        {DriverKind::Microsoft, Encryption::Optional, true, ";TrustServerCertificate=Yes"},
    };
    for (const auto& c : cases) {
        ConnectOptions options;
        options.encryption = c.encryption;
        options.trustServerCertificate = c.trust;
        options.application.clear();
        const std::string server = ProfileOf(c.kind).serverAttributes(ParseServerName("SRV1"));
        EXPECT_EQ(BuildConnectionString({c.kind, "D"}, ParseServerName("SRV1"), options),
                  "DRIVER={D};" + server + c.attributes + ";Trusted_Connection=Yes")
            << static_cast<int>(c.kind) << " " << static_cast<int>(c.encryption) << " " << c.trust;
    }
}

TEST(DriverVersion, ReadFromTheVersionOrMicrosoftsLinuxLibraryNameAndComparedForStrict)
{
    const DriverProfile& driver18 = ProfileOf(DriverKind::Microsoft18);
    EXPECT_EQ(ParseDriverVersion("/opt/microsoft/msodbcsql18/lib64/libmsodbcsql-18.1.so.2.1"),
              (DriverVersion{{18, 1, 2, 1}}));
    EXPECT_EQ(ParseDriverVersion("18.0.1.1"), (DriverVersion{{18, 0, 1, 1}}));
    EXPECT_EQ(ParseDriverVersion("C:\\Windows\\system32\\msodbcsql18.dll"), std::nullopt);
    EXPECT_TRUE(CanConnectStrictly(driver18, ParseDriverVersion("libmsodbcsql-18.1.so.2.1")));
    EXPECT_TRUE(CanConnectStrictly(driver18, ParseDriverVersion("libmsodbcsql-18.10.so.1.1")));
    EXPECT_FALSE(CanConnectStrictly(driver18, ParseDriverVersion("libmsodbcsql-18.1.so.1.1")));
    EXPECT_TRUE(CanConnectStrictly(driver18, std::nullopt)) << "an unknown version is tried";
    EXPECT_FALSE(CanConnectStrictly(ProfileOf(DriverKind::FreeTds), std::nullopt));
    EXPECT_FALSE(CanConnectStrictly(ProfileOf(DriverKind::Microsoft), ParseDriverVersion("17.10.5.1")));
}

TEST(InstancePort, OnlyFreeTdsToANamedInstanceWithoutAPortAsksAndGetsThePortWithTheHostAsTyped)
{
    testing::SsrpResponder browser({.instances = {{"HOST", "SALESINST", "16.0", false, 50123}}});
    for (const auto& [kind, server] : {std::pair{DriverKind::Microsoft, "127.0.0.1\\SALESINST"},
                                       std::pair{DriverKind::Microsoft18, "127.0.0.1\\SALESINST"},
                                       std::pair{DriverKind::FreeTds, "127.0.0.1\\SALESINST,1500"},
                                       std::pair{DriverKind::FreeTds, "127.0.0.1"}}) {
        const auto typed = ParseServerName(server);
        EXPECT_EQ(ResolveConnectTarget(kind, typed, 5s, browser.Port()).address, typed) << server;
    }
    EXPECT_TRUE(browser.Requests().empty());

    const auto target = ResolveConnectTarget(DriverKind::FreeTds, ParseServerName("(local)\\SalesInst"), 5s,
                                             browser.Port());
    ServerAddress expected = ParseServerName("localhost\\SalesInst");
    expected.port = 50123;
    EXPECT_EQ(target.address, expected);
    EXPECT_EQ(browser.Requests().size(), 1u);
}

}  // namespace
}  // namespace tallyrun::odbc
