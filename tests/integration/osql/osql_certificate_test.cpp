// osql proves that the server is the one named before it sends anything: a certificate from an authority this
// computer trusts, for the name typed, logs in; any other is refused, saying what is wrong with it, before the login
// leaves the client; -C takes any certificate as it is. FreeTDS checks here; under Wine it cannot be told to.
#include "osql_command.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using Certificate = TdsStandIn::Certificate;

TEST(OsqlCertificate, OnlyACertificateFromATrustedAuthorityForTheNameTypedLogsIn)
{
    struct Case {
        Certificate certificate;
        const char* host;
        const char* told;  // empty: the run succeeds
    };
    for (const Case& c : {
             Case{Certificate::Trusted, "127.0.0.1", ""},
             Case{Certificate::Trusted, "localhost", ""},
             Case{Certificate::SelfSigned, "127.0.0.1", "is self-signed (CN=SSL_Self_Signed_Fallback), so no "
                                                        "authority vouches for it."},
             Case{Certificate::OtherName, "127.0.0.1", "is issued to other names than 127.0.0.1: "
                                                       "sql01.tallyrun.test. Type one of them"},
             Case{Certificate::Expired, "localhost", " expired on "},
         }) {
        TdsStandIn server({.certificate = c.certificate});
        const std::string at = std::string(c.host) + "," + std::to_string(server.Port());
        SCOPED_TRACE(at);
        const std::vector<std::string> arguments{"-S", at, "-E", "-b", "-l", "5", "-Q", "select 1"};
        const auto run = RunOsql(arguments);
        if (*c.told == '\0') {
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            EXPECT_EQ(server.SuccessfulLogins(), 1);
            EXPECT_EQ(server.InClear(), 0);
            continue;
        }
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find("The certificate of the server " + at), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.told), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("For a server you know, -C accepts its certificate as it is."), std::string::npos);
        EXPECT_EQ(server.SuccessfulLogins(), 0) << "the login reached a server that proved nothing";

        auto trusting = arguments;
        trusting.push_back("-C");
        EXPECT_EQ(RunOsql(trusting).exitStatus, 0);
        EXPECT_EQ(server.Batches(), std::vector<std::string>{"select 1"});
    }
}

}  // namespace
}  // namespace tallyrun::testing
