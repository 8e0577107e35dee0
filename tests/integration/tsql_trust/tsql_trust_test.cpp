// FreeTDS's tsql, told to check the certificate against the system's trust store, logging in to the stand-in with
// each of its certificates, and OpenSSL looking the authority up by the hash of its name: inside with_test_ca only
// the test authority's certificate for the name typed is trusted; outside it, not even that one.
#include "child_process.h"
#include "frozen_dns.h"
#include "frozen_kdc.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;
using enum TdsStandIn::Certificate;

TEST(TestAuthority, IsTrustedInsideTheRunnerAlone)
{
    enum class Where {
        Inside,
        InsideUnprivileged,  // in a user namespace as another uid, where with_test_ca is as any user but root
        Outside,
    };
    struct Case {
        const char* what;
        bool tsql;  // false: OpenSSL verifies the trusted certificate through its folder of hashed names only
        TdsStandIn::Certificate certificate;
        Where where;
        bool accepted;
    };
    using enum Where;
    const Case cases[] = {
        {"trusted", true, Trusted, Inside, true},
        {"trusted, unprivileged: the ticket cache and the realm still reached", true, Trusted, InsideUnprivileged,
         true},
        {"self-signed", true, SelfSigned, Inside, false},
        {"expired", true, Expired, Inside, false},
        {"other name", true, OtherName, Inside, false},
        {"OpenSSL's folder", false, Trusted, Inside, true},
        // Outside, after the runs inside: these also show that those left nothing mounted here.
        {"trusted, outside", true, Trusted, Outside, false},
        {"OpenSSL's folder, outside", false, Trusted, Outside, false},
    };
    const std::string settings = RealmFile("tsql_trust.conf").string();
    const bool userNamespaces = RunChild({"unshare", "--user", "true"}).exitStatus == 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.where == InsideUnprivileged && !userNamespaces)
            continue;
        TdsStandIn server({.certificate = c.certificate});
        std::ofstream(settings) << "[standin]\n host = localhost\n port = " << server.Port()
                                << "\n encryption = require\n ca file = system\n check certificate hostname = yes\n";
        std::vector<std::string> command = {"tsql", "-S", "standin"};
        if (!c.tsql)
            command = {"openssl", "verify", "-no-CAfile", "-no-CAstore", RealmFile("tls/trusted.pem").string()};
        if (c.where != Outside)
            command.insert(command.begin(), {WITH_TEST_CA_PATH, RealmFile("tls/trust").string()});
        if (c.where == InsideUnprivileged)
            command.insert(command.begin(), {"unshare", "--user", "--map-user=1000", "--map-group=1000", "--"});
        const ChildOutcome run = RunChild(command, "select 1\ngo\nexit\n", {"FREETDSCONF=" + settings}, 30s);
        if (run.exitStatus == NoNamespace) {
            // Only where util-linux's unshare is refused the same.
            ASSERT_NE(RunChild({"unshare", "-m", "true"}).exitStatus, 0) << run.err;
            ASSERT_NE(RunChild({"unshare", "-rm", "true"}).exitStatus, 0) << run.err;
            GTEST_SKIP() << run.err;
        }
        EXPECT_EQ(run.exitStatus == 0, c.accepted) << run.out << run.err;
        EXPECT_EQ(server.SuccessfulLogins(), c.tsql && c.accepted ? 1 : 0);
    }
}

}  // namespace
}  // namespace tallyrun::testing
