#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/server_name.h"

#include <gtest/gtest.h>

#include <cctype>

namespace tallyrun::odbc {
namespace {

// CTest names each case after its parameter: letters and digits as typed, anything else as _XX (hex).
std::string Printable(std::string_view text)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string name = text.empty() ? "empty" : "";
    for (unsigned char c : text) {
        if (std::isalnum(c))
            name += static_cast<char>(c);
        else
            name += std::string("_") + hex[c >> 4] + hex[c & 15];
    }
    return name;
}

struct Form {
    const char* typed;
    const char* freeTds;    // attributes for FreeTDS
    const char* microsoft;  // attributes for Microsoft's driver
    bool local;
};

void PrintTo(const Form& form, std::ostream* out)
{
    *out << Printable(form.typed);
}

class ServerForms : public testing::TestWithParam<Form> {};

TEST_P(ServerForms, BecomeTheAttributesEachDriverUnderstands)
{
    const Form& form = GetParam();
    const ServerAddress address = ParseServerName(form.typed);
    EXPECT_EQ(ServerAttributes(DriverKind::FreeTds, address), form.freeTds);
    EXPECT_EQ(ServerAttributes(DriverKind::Microsoft, address), form.microsoft);
    EXPECT_EQ(address.local, form.local);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ServerForms,
    testing::Values(
        Form{"SRV1", "SERVER=SRV1;PORT=1433", "SERVER=tcp:SRV1,1433", false},
        Form{"db.corp.example", "SERVER=db.corp.example;PORT=1433", "SERVER=tcp:db.corp.example,1433", false},
        Form{"SRV1\\SQLEXPRESS", "SERVER=SRV1\\SQLEXPRESS", "SERVER=tcp:SRV1\\SQLEXPRESS", false},
        Form{"SRV1,14330", "SERVER=SRV1;PORT=14330", "SERVER=tcp:SRV1,14330", false},
        Form{"127.0.0.1,1", "SERVER=127.0.0.1;PORT=1", "SERVER=tcp:127.0.0.1,1", false},
        Form{"srv1\\inst,2000", "SERVER=srv1;PORT=2000", "SERVER=tcp:srv1,2000", false},
        Form{"tcp:SRV1", "SERVER=SRV1;PORT=1433", "SERVER=tcp:SRV1,1433", false},
        Form{"TCP:SRV1,65535", "SERVER=SRV1;PORT=65535", "SERVER=tcp:SRV1,65535", false},
        Form{"(local)", "SERVER=localhost;PORT=1433", "SERVER=tcp:localhost,1433", true},
        Form{"(LOCAL)\\SQLEXPRESS", "SERVER=localhost\\SQLEXPRESS", "SERVER=tcp:localhost\\SQLEXPRESS", true},
        Form{".", "SERVER=localhost;PORT=1433", "SERVER=tcp:localhost,1433", true},
        Form{".,1500", "SERVER=localhost;PORT=1500", "SERVER=tcp:localhost,1500", true},
        Form{"LocalHost", "SERVER=localhost;PORT=1433", "SERVER=tcp:localhost,1433", true}));

struct Malformed {
    const char* typed;
    const char* reason;  // part of the message that names the mistake
};

void PrintTo(const Malformed& bad, std::ostream* out)
{
    *out << Printable(bad.typed);
}

class MalformedNames : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedNames, AreRefusedWithTheReason)
{
    const Malformed& bad = GetParam();
    try {
        ParseServerName(bad.typed);
        FAIL() << "accepted \"" << bad.typed << "\"";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), errc::InvalidArgument);
        EXPECT_NE(error.Description().find(bad.reason), std::string::npos) << error.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Typed, MalformedNames,
    testing::Values(Malformed{"", "No server name"},
                    Malformed{"<Server Name>", "'<'"},
                    Malformed{"my server", "space"},
                    Malformed{" SRV1", "space"},
                    Malformed{"\"SRV1\"", "quote"},
                    Malformed{"{SRV1}", "brace"},
                    Malformed{"SRV1;UID=sa", "semicolon"},
                    Malformed{"SRV1,", "port after the comma is missing"},
                    Malformed{"SRV1,0", "from 1 to 65535"},
                    Malformed{"SRV1,65536", "from 1 to 65535"},
                    Malformed{"SRV1,14x3", "from 1 to 65535"},
                    Malformed{"SRV1,1,2", "more than one comma"},
                    Malformed{"SRV1\\", "instance name after the backslash is missing"},
                    Malformed{"SRV1\\A\\B", "more than one backslash"},
                    Malformed{"SRV1\\ABCDEFGHIJKLMNOPQ", "longer than 16"},
                    Malformed{"SRV1\\1st", "starts with a letter"},
                    Malformed{"np:SRV1", "only TCP"},
                    Malformed{"tcp:", "host name is missing"},
                    Malformed{"\\SQLEXPRESS", "host name is missing"},
                    Malformed{"db..corp", "empty part"},
                    Malformed{"-E", "starts or ends with '-'"},
                    Malformed{"(remote)", "'(', ')'"},
                    Malformed{"s\xc3\xa9rver", "outside ASCII"}));

}  // namespace
}  // namespace tallyrun::odbc
