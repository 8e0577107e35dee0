// osql against the SQL Server stand-in, here or as osql.exe under Wine (whose odbc32 hands the calls to this system's
// FreeTDS): the usage update and its login, typed values, server errors, a missing ticket and named instances.
#include "frozen_kdc.h"
#include "osql_command.h"
#include "tds_standin.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include "base/error.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <memory>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

const std::string UsageUpdate = "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS";

std::string At(const TdsStandIn& server)
{
    return "127.0.0.1," + std::to_string(server.Port());
}

// The line end osql writes: the system's own.
std::string LineEnd()
{
    return UnderWine() ? "\r\n" : "\n";
}

long Received(const TdsStandIn& server, const std::string& batch)
{
    const auto batches = server.Batches();
    return std::count(batches.begin(), batches.end(), batch);
}

// A server that forces encryption encrypts the whole session; one that does not, only for a client that asks. A
// token as large as Active Directory's for a user in many groups takes LOGIN7 over several packets: under
// login-only encryption (-N o) the first comes in TLS and the rest in clear.
TEST(OsqlRun, SendsTheUsageUpdateWithNamesOutsideAsciiIntactOverAKerberosLoginAllEncrypted)
{
    const std::string bigTicket = "KRB5CCNAME=FILE:" + RealmFile("ccache-big").string();
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string query = "DBCC UPDATEUSAGE(N'Ünïcødé 数据') WITH NO_INFOMSGS, COUNT_ROWS";
    for (const auto encryption : {TdsStandIn::Encryption::Login, TdsStandIn::Encryption::Full}) {
        TdsStandIn server({.encryption = encryption});
        for (const bool loginOnlyAsked : {false, true}) {
            SCOPED_TRACE(loginOnlyAsked);
            std::vector<std::string> arguments{"-S", At(server), "-E", "-Q", query};
            if (loginOnlyAsked)
                arguments.insert(arguments.end(), {"-N", "o"});
            const int inClear = server.InClear();
            const auto run = RunOsql(arguments, {bigTicket});
            EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
            EXPECT_EQ(run.out, "");
            // Under Wine FreeTDS cannot be told to check the certificate, and osql.exe says so, once.
            EXPECT_EQ(run.err.starts_with("osql warning: ") && run.err.find('\n') == run.err.size() - 1, UnderWine())
                << run.err;
            EXPECT_EQ(run.err.empty(), !UnderWine()) << run.err;
            ASSERT_FALSE(server.Logins().empty());
            const LoginRecord login = server.Logins().back();
            const bool loginOnly = loginOnlyAsked && encryption == TdsStandIn::Encryption::Login;
            EXPECT_GE(login.packets, 3);
            EXPECT_EQ(login.encryptedPackets, loginOnly ? 1 : login.packets);
            EXPECT_EQ(server.InClear() - inClear, loginOnly ? 2 : 0) << "the login's later packets, and the batch";
            EXPECT_EQ(login.tdsVersion, 0x74000004u);
            EXPECT_EQ(login.hostName, host);
            EXPECT_EQ(login.userName, "");  // Kerberos names the user in its token
            EXPECT_EQ(login.appName, "osql");
            EXPECT_EQ(login.database, "");  // the login's own: osql names a database only once logged in
        }
        EXPECT_EQ(Received(server, query), 2) << ::testing::PrintToString(server.Batches());
        EXPECT_EQ(server.SuccessfulLogins(), 2);
    }
}

// What FreeTDS would read as attributes of its own reaches the server as the database's name, or is refused: the
// login still goes encrypted to the port typed. (-C: the stand-in's certificate is not what this is about.)
TEST(OsqlRun, NoTypedValueSwitchesEncryptionOffOrRedirectsTheConnection)
{
    TdsStandIn server;
    TdsStandIn elsewhere;
    const std::string redirect = "PORT=" + std::to_string(elsewhere.Port());
    for (const std::string& attributes : {std::string("Encryption=off"), redirect}) {
        const std::string database = "Sales};" + attributes + ";APP={x]";
        const auto run = RunOsql({"-S", At(server), "-E", "-b", "-d", database, "-Q", UsageUpdate});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        // The name arrives whole, as one identifier, once the login is done.
        EXPECT_EQ(Received(server, "USE [Sales};" + attributes + ";APP={x]]]"), 1)
            << ::testing::PrintToString(server.Batches());
    }
    const auto password = RunOsql({"-S", At(server), "-U", "sa", "-P", "x};" + redirect + ";", "-Q", UsageUpdate});
    EXPECT_EQ(password.exitStatus, 1);
    EXPECT_NE(password.err.find("The password holds a '}'"), std::string::npos) << password.err;
    // A SQL login's name reaches the server, which takes Kerberos logins only.
    EXPECT_EQ(RunOsql({"-S", At(server), "-U", "sa", "-P", "secret", "-Q", UsageUpdate}).exitStatus, 1);
    EXPECT_EQ(server.Logins().back().userName, "sa");
    EXPECT_EQ(server.SuccessfulLogins(), 2);
    EXPECT_EQ(server.InClear(), 0);
    EXPECT_EQ(Received(server, UsageUpdate), 2);
    for (const LoginRecord& login : server.Logins())
        EXPECT_EQ(login.appName, "osql");
    EXPECT_EQ(elsewhere.Logins().size(), 0u);
}

TEST(OsqlRun, PrintsServerErrorsAndFailsTheRunOnlyWithB)
{
    TdsStandIn server;
    server.AddReply("UPDATEUSAGE('Nope')", {2520, 11, 16, "Could not find database 'Nope'."});
    const std::string query = "DBCC UPDATEUSAGE('Nope') WITH NO_INFOMSGS, COUNT_ROWS";
    // FreeTDS keeps no state of a message, so none is printed; under Wine the level and line are fields only the
    // driver keeps (unixODBC's copies of its records lack them), out of osql.exe's reach.
    const std::string header = UnderWine() ? "Msg 2520, Server STANDIN" : "Msg 2520, Level 16, Server STANDIN, Line 1";

    const auto strict = RunOsql({"-S", At(server), "-E", "-b", "-Q", query});
    EXPECT_EQ(strict.exitStatus, 1) << strict.err;
    EXPECT_EQ(strict.out, header + LineEnd() + "Could not find database 'Nope'." + LineEnd());

    const auto lenient = RunOsql({"-S", At(server), "-E", "-Q", query});
    EXPECT_EQ(lenient.exitStatus, 0) << lenient.err;
    EXPECT_EQ(lenient.out, strict.out);
    EXPECT_EQ(Received(server, query), 2);

    if (UnderWine())
        return;
    server.AddReply("UPDATEUSAGE('Sales')", {2528, 1, 10, "DBCC execution completed."});
    const auto informed = RunOsql({"-S", At(server), "-E", "-b", "-Q", "DBCC UPDATEUSAGE('Sales')"});
    EXPECT_EQ(informed.exitStatus, 0) << informed.err;
    EXPECT_EQ(informed.out, "DBCC execution completed.\n");
}

TEST(OsqlRun, WithoutATicketTheLoginFailsWithinTheLoginTimeout)
{
    TdsStandIn server;
    const std::string noCache = "KRB5CCNAME=FILE:" + RealmFile("none").string();
    const auto run = RunOsql({"-S", At(server), "-E", "-b", "-l", "5", "-Q", UsageUpdate}, {noCache});
    EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("osql: cannot connect to " + At(server) + ":" + LineEnd(), 0), 0u) << run.err;
    EXPECT_TRUE(UnderWine() || run.err.find("Run kinit") != std::string::npos) << run.err;
    // Wine starts its server and services when none runs yet, which takes some seconds on a busy machine.
    EXPECT_LT(run.elapsed, UnderWine() ? 15s : 10s);
    EXPECT_EQ(server.SuccessfulLogins(), 0);
    EXPECT_EQ(server.Batches(), std::vector<std::string>{});
}

// The driver, or osql.exe itself through Winsock, asks the browser on UDP 1434 of the host for the instance's
// port. The named-instance tests run one at a time: a second browser could not take the port.
TEST(OsqlNamedInstance, ReachesTheInstanceThroughTheSqlBrowserAndNamesAnUnknownOne)
{
    TdsStandIn server;
    std::unique_ptr<SsrpResponder> browser;
    try {
        browser = std::make_unique<SsrpResponder>(ResponderOptions{
            .port = 1434, .instances = {{.server = "STANDIN", .instance = "SALESINST", .tcpPort = server.Port()}}});
    } catch (const Error& error) {
        GTEST_SKIP() << "UDP 127.0.0.1:1434 is taken: " << error.Description();
    }

    // osql.exe's own lookup takes the instance name in any case.
    const std::string instance = UnderWine() ? "127.0.0.1\\salesinst" : "localhost\\SALESINST";
    const auto run = RunOsql({"-S", instance, "-E", "-b", "-l", "5", "-Q", UsageUpdate});
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(Received(server, UsageUpdate), 1);
    ASSERT_FALSE(browser->Requests().empty());
    EXPECT_EQ(browser->Requests().front().front(), 0x04) << "not an instance lookup";

    const auto unknown = RunOsql({"-S", "127.0.0.1\\NOSUCH", "-E", "-b", "-l", "3", "-Q", UsageUpdate});
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_NE(unknown.err.find("NOSUCH"), std::string::npos) << unknown.err;
    EXPECT_LT(unknown.elapsed, UnderWine() ? 13s : 8s);
}

}  // namespace
}  // namespace tallyrun::testing
