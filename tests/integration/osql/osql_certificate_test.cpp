// osql logs in only over TLS 1.2 or later to a server whose certificate, from an authority this computer trusts, holds
// the name typed; anything else is refused before the login leaves, saying what is wrong (-C takes a certificate).
#include "osql_command.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using Certificate = TdsStandIn::Certificate;

// A server that speaks only TLS 1.0, which RFC 8996 retired, is refused whatever -C says.
TEST(OsqlCertificate, OnlyACertificateFromATrustedAuthorityForTheNameTypedLogsInAndNeverOverTls10)
{
    struct Case {
        TdsStandIn::Options server;
        const char* host;
        const char* told;  // empty: the run succeeds
        bool certificate;  // what is told is the certificate's fault, which -C takes
    };
    for (const Case& c : {
             Case{{}, "127.0.0.1", "", true},
             Case{{}, "localhost", "", true},
             Case{{.certificate = Certificate::SelfSigned}, "127.0.0.1",
                  "is self-signed (CN=SSL_Self_Signed_Fallback), so no authority vouches for it.", true},
             Case{{.certificate = Certificate::OtherName}, "127.0.0.1",
                  "is issued to other names than 127.0.0.1: sql01.tallyrun.test. Type one of them", true},
             Case{{.certificate = Certificate::Expired}, "localhost", " expired on ", true},
             Case{{.tls10Only = true}, "127.0.0.1", "have no TLS version or cipher in common", false},
         }) {
        TdsStandIn server(c.server);
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
        EXPECT_NE(run.err.find(c.told), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("The certificate of the server " + at) != std::string::npos, c.certificate) << run.err;
        EXPECT_EQ(run.err.find("For a server you know, -C accepts its certificate as it is.") != std::string::npos,
                  c.certificate);
        EXPECT_EQ(server.SuccessfulLogins(), 0) << "the login reached a server that proved nothing";

        auto trusting = arguments;
        trusting.push_back("-C");
        EXPECT_EQ(RunOsql(trusting).exitStatus, c.certificate ? 0 : 1);
        EXPECT_EQ(server.Batches(), c.certificate ? std::vector<std::string>{"select 1"} : std::vector<std::string>{});
    }
}

// A man in the middle ends the client's TLS with a certificate of its own and passes the Kerberos login on, which TLS
// does not bind: only the certificate check keeps its batch from running in the administrator's name.
TEST(OsqlCertificate, ARelayThatEndsTlsWithACertificateOfItsOwnGetsNothingToRun)
{
    TdsStandIn relay({.relay = true});
    const std::vector<std::string> arguments{"-S", "127.0.0.1," + std::to_string(relay.Port()), "-E", "-b", "-Q",
                                             "DBCC UPDATEUSAGE('Sales')"};
    const auto refused = RunOsql(arguments);
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("is self-signed"), std::string::npos) << refused.err;
    EXPECT_EQ(relay.Backend().SuccessfulLogins(), 0);
    EXPECT_EQ(relay.Backend().Batches(), std::vector<std::string>{});

    // What the check stops: without it the relay's batch runs on the server, and the run looks like a success.
    auto unchecked = arguments;
    unchecked.push_back("-C");
    EXPECT_EQ(RunOsql(unchecked).exitStatus, 0);
    EXPECT_EQ(relay.Backend().Batches(), std::vector<std::string>{"SELECT 'relay'"});
}

}  // namespace
}  // namespace tallyrun::testing
