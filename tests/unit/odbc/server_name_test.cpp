// Typed server names, the connection string and settings file each driver gets for them, the values a driver cannot
// carry, the versions that connect strictly, and the connections that ask the SQL Browser for their port first.
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
    const char* freeTds;          // attributes for FreeTDS, its host and instance in the settings file
    const char* freeTdsOnWindows;  // for FreeTDS without a settings file
    const char* microsoft;        // for Microsoft's drivers
    bool local;
};

TEST(ServerNames, BecomeTheAttributesEachDriverUnderstands)
{
    for (const Form& form : {
        Form{"SRV1", "SERVERNAME={SRV1};PORT={1433};", "SERVER={SRV1};PORT={1433};", "SERVER=tcp:SRV1,1433;", false},
        Form{"SRV1\\SQL_EXP$#2", "SERVERNAME={SRV1};", "SERVER={SRV1\\SQL_EXP$#2};", "SERVER=tcp:SRV1\\SQL_EXP$#2;",
             false},
        Form{"srv1\\inst,2000", "SERVERNAME={srv1};PORT={2000};", "SERVER={srv1};PORT={2000};", "SERVER=tcp:srv1,2000;",
             false},
        Form{"(LOCAL)\\SQLEXPRESS", "SERVERNAME={localhost};", "SERVER={localhost\\SQLEXPRESS};",
             "SERVER=tcp:localhost\\SQLEXPRESS;", true},
        Form{".,1500", "SERVERNAME={localhost};PORT={1500};", "SERVER={localhost};PORT={1500};",
             "SERVER=tcp:localhost,1500;", true}}) {
        SCOPED_TRACE(form.typed);
        const ServerAddress address = ParseServerName(form.typed);
        EXPECT_EQ(ProfileOf(DriverKind::FreeTds).serverAttributes(address), form.freeTds);
        EXPECT_EQ(ProfileOf(DriverKind::FreeTdsWithoutSettings).serverAttributes(address), form.freeTdsOnWindows);
        for (const auto kind : {DriverKind::Microsoft, DriverKind::Microsoft18, DriverKind::WindowsSqlServer})
            EXPECT_EQ(ProfileOf(kind).serverAttributes(address), form.microsoft);
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

struct Connection {
    DriverKind kind;
    Encryption encryption;
    bool trust;
    std::optional<SqlLogin> login;
    const char* attributes;  // after the server's
    bool checked;            // the driver checks the server's certificate
};

TEST(ConnectionString, EachDriverEncryptsAsAskedTrustsOnlyWhenToldAndCarriesEveryValueWhole)
{
    const SqlLogin login{"sa", "se;cret=}x"};
    const SqlLogin plain{"sa", "se;cret=x"};
    const std::string trusted = "Trusted_Connection=Yes;APP={osql};";
    for (const Connection& c : {
        Connection{DriverKind::FreeTds, Encryption::Mandatory, false, {}, "TDS_Version={7.4};Encryption={require};",
                   true},
        Connection{DriverKind::FreeTds, Encryption::Optional, true, plain,
                   "TDS_Version={7.4};Encryption={request};UID={sa};PWD={se;cret=x};APP={osql};", true},
        Connection{DriverKind::FreeTdsWithoutSettings, Encryption::Mandatory, false, {},
                   "TDS_Version={7.4};Encryption={require};", false},
        Connection{DriverKind::Microsoft18, Encryption::Mandatory, false, login,
                   "Encrypt=Mandatory;UID={sa};PWD={se;cret=}}x};APP={osql};", true},
        Connection{DriverKind::Microsoft18, Encryption::Mandatory, true, {},
                   "Encrypt=Mandatory;TrustServerCertificate=Yes;", true},
        Connection{DriverKind::Microsoft18, Encryption::Strict, false, {}, "Encrypt=Strict;", true},
        Connection{DriverKind::Microsoft18, Encryption::Optional, false, {}, "Encrypt=Optional;", true},
        Connection{DriverKind::Microsoft, Encryption::Mandatory, false, login,
                   "Encrypt=yes;UID={sa};PWD={se;cret=}}x};APP={osql};", true},
        Connection{DriverKind::Microsoft, Encryption::Mandatory, true, {}, "Encrypt=yes;TrustServerCertificate=Yes;",
                   true},
        Connection{DriverKind::Microsoft, Encryption::Optional, true, {}, "TrustServerCertificate=Yes;", true},
        Connection{DriverKind::WindowsSqlServer, Encryption::Mandatory, true, {}, "Encrypt=yes;", false},
        Connection{DriverKind::WindowsSqlServer, Encryption::Optional, false, login,
                   "UID={sa};PWD={se;cret=}}x};APP={osql};", false}}) {
        ConnectOptions options;
        options.encryption = c.encryption;
        options.trustServerCertificate = c.trust;
        options.sqlLogin = c.login;
        options.database = "Sales};Encrypt=no";
        options.application = "osql";
        const DriverProfile& profile = ProfileOf(c.kind);
        const auto address = ParseServerName("SRV1");
        EXPECT_EQ(BuildConnectionString({c.kind, "D"}, address, options),
                  "DRIVER={D};" + profile.serverAttributes(address) + c.attributes + (c.login ? "" : trusted))
            << static_cast<int>(c.kind) << " " << static_cast<int>(c.encryption) << " " << c.trust;
        EXPECT_EQ(profile.certificateUnchecked == nullptr, c.checked) << static_cast<int>(c.kind);
        EXPECT_EQ(profile.settingsFile != nullptr, c.kind == DriverKind::FreeTds) << static_cast<int>(c.kind);
    }
}

struct Refused {
    DriverKind kind;
    SqlLogin login;
    std::string application;
    const char* named;  // how the message names the value
};

// FreeTDS ends a braced value at the first "};", and unixODBC, reading the string first, at a single '}': what
// follows would be attributes (a DRIVER= there names the library the driver manager loads).
TEST(ConnectionString, AValueTheDriverCannotCarryIsRefusedByName)
{
    using namespace std::string_literals;
    for (const Refused& r :
         {Refused{DriverKind::FreeTds, {"sa", "x};Encryption=off;"}, "osql", "The password holds a '}'"},
          Refused{DriverKind::FreeTdsWithoutSettings, {"sa", "x}DRIVER=/tmp/x.so"}, "osql", "The password holds a '}'"},
          Refused{DriverKind::FreeTds, {"a}b", "x"}, "osql", "The login name holds a '}'"},
          Refused{DriverKind::FreeTds, {"sa", "x"}, "osql}", "The application name holds a '}'"},
          Refused{DriverKind::Microsoft18, {"sa", "x\0y"s}, "osql", "The password holds a NUL"}}) {
        ConnectOptions options;
        options.sqlLogin = r.login;
        options.application = r.application;
        const Error error =
            fixtures::RaisedError([&] { BuildConnectionString({r.kind, "D"}, ParseServerName("SRV1"), options); });
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_EQ(error.Description().rfind(r.named, 0), 0u) << error.Description();
    }
}

struct Settings {
    std::string typed;
    bool trust;
    std::string text;
};

TEST(FreeTdsSettings, NameTheHostToCheckTheTrustStoreAndNoTls10)
{
    const std::string longest = std::string(62, 'a') + "." + std::string(62, 'b') + "." + std::string(62, 'c') + "."
                                + std::string(61, 'd');
    for (const Settings& s : {
        Settings{"srv1.example.com,1433", false,
                 "[srv1.example.com]\nhost=srv1.example.com\nca file=system\ncheck certificate hostname=yes\n"
                 "enable tls v1=no\n"},
        Settings{"(local)\\INST", true, "[localhost]\nhost=localhost\ninstance=INST\nenable tls v1=no\n"},
        Settings{longest, true, "[" + longest + "]\nhost=" + longest + "\nenable tls v1=no\n"}}) {
        EXPECT_EQ(ProfileOf(DriverKind::FreeTds).settingsFile(ParseServerName(s.typed), s.trust), s.text) << s.typed;
    }
    const Error error = fixtures::RaisedError(
        [&] { ProfileOf(DriverKind::FreeTds).settingsFile(ParseServerName(longest + "d"), false); });
    EXPECT_EQ(error.Number(), errc::InvalidArgument);
    EXPECT_NE(error.Description().find("longer than the 250 characters FreeTDS reads"), std::string::npos)
        << error.Description();
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

    ServerAddress expected = ParseServerName("localhost\\SalesInst");
    expected.port = 50123;
    for (const auto kind : {DriverKind::FreeTds, DriverKind::FreeTdsWithoutSettings})
        EXPECT_EQ(ResolveConnectTarget(kind, ParseServerName("(local)\\SalesInst"), 5s, browser.Port()).address,
                  expected);
    EXPECT_EQ(browser.Requests().size(), 2u);
}

}  // namespace
}  // namespace tallyrun::odbc
