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
    struct Case {
        const char* what;
        bool tsql;  // false: OpenSSL verifies the trusted certificate through its folder of hashed names only
        TdsStandIn::Certificate certificate;
        bool inside;
        bool accepted;
    };
    const Case cases[] = {
        {"trusted", true, Trusted, true, true},
        {"self-signed", true, SelfSigned, true, false},
        {"expired", true, Expired, true, false},
        {"other name", true, OtherName, true, false},
        {"OpenSSL's folder", false, Trusted, true, true},
        // Outside, after the runs inside: these also show that those left nothing mounted here.
        {"trusted, outside", true, Trusted, false, false},
        {"OpenSSL's folder, outside", false, Trusted, false, false},
    };
    const std::string settings = RealmFile("tsql_trust.conf").string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TdsStandIn server({.certificate = c.certificate});
        std::ofstream(settings) << "[standin]\n host = localhost\n port = " << server.Port()
                                << "\n encryption = require\n ca file = system\n check certificate hostname = yes\n";
        std::vector<std::string> command = {"tsql", "-S", "standin"};
        if (!c.tsql)
            command = {"openssl", "verify", "-no-CAfile", "-no-CAstore", RealmFile("tls/trusted.pem").string()};
        if (c.inside)
            command.insert(command.begin(), {WITH_TEST_CA_PATH, RealmFile("tls/trust").string()});
        const ChildOutcome run = RunChild(command, "select 1\ngo\nexit\n", {"FREETDSCONF=" + settings}, 30s);
        if (run.exitStatus == NoNamespace)
            GTEST_SKIP() << run.err;
        EXPECT_EQ(run.exitStatus == 0, c.accepted) << run.out << run.err;
        EXPECT_EQ(server.SuccessfulLogins(), c.tsql && c.accepted ? 1 : 0);
    }
}

}  // namespace
}  // namespace tallyrun::testing
