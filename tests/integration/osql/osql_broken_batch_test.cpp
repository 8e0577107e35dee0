// osql against a server that takes the batch and then fails it: closes or resets the connection, or stalls; and
// values too long for the connection string, refused before anything is sent.
#include "osql_command.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;
using AfterBatch = TdsStandIn::AfterBatch;

constexpr const char* Query = "DBCC UPDATEUSAGE('Sales')";

TdsStandIn::Options Failing(AfterBatch afterBatch)
{
    TdsStandIn::Options options;
    options.afterBatch = afterBatch;
    return options;
}

ChildOutcome Osql(const TdsStandIn& server, std::vector<std::string> options)
{
    std::vector<std::string> arguments{"-S", "127.0.0.1," + std::to_string(server.Port()), "-Q", Query};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return RunOsql(arguments);
}

void ExpectFailure(const ChildOutcome& run, const std::string& cause)
{
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(cause), std::string::npos) << run.err;
}

TEST(OsqlBrokenBatch, AConnectionClosedOrResetAfterTheBatchFailsTheRunAndSaysSo)
{
    const std::pair<AfterBatch, std::string> faults[] = {
        {AfterBatch::Close, "The connection to the server was lost: the server closed it"},
        {AfterBatch::Reset, "The connection to the server was reset by the server"},
    };
    for (const auto& [fault, cause] : faults) {
        TdsStandIn server(Failing(fault));
        for (const auto& strictness : {std::vector<std::string>{"-E", "-b"}, std::vector<std::string>{"-E"}}) {
            SCOPED_TRACE(cause + (strictness.size() > 1 ? " with -b" : " without -b"));
            ExpectFailure(Osql(server, strictness), cause);
        }
        EXPECT_EQ(server.Batches(), std::vector<std::string>(2, Query));
    }
}

TEST(OsqlBrokenBatch, AStalledServerFailsTheRunAtTheQueryTimeout)
{
    TdsStandIn server(Failing(AfterBatch::Stall));
    const auto run = Osql(server, {"-E", "-t", "3"});
    ExpectFailure(run, "The query did not finish within the query timeout of 3 seconds.");
    EXPECT_GE(run.elapsed, 2900ms);
    EXPECT_LT(run.elapsed, 4500ms);
}

TEST(OsqlBrokenBatch, ValuesTooLongForTheConnectionStringAreRefusedBeforeTheLogin)
{
    TdsStandIn server;
    const std::string huge(65'600, 'x');
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-E", "-d", huge}, "The database name is too long"},
        {{"-U", huge, "-P", "secret"}, "The login name is too long"},
        {{"-U", "sa", "-P", huge}, "The password is too long"},
    };
    for (const auto& [options, message] : cases) {
        SCOPED_TRACE(message);
        const auto run = Osql(server, options);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find("osql: cannot connect to"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_EQ(server.SuccessfulLogins() + server.RefusedLogins(), 0);
}

}  // namespace
}  // namespace tallyrun::testing
