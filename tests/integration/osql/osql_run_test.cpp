#include "child_process.h"
#include "frozen_kdc.h"
#include "tds_standin.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tallyrun::testing {
namespace {

ChildOutcome Osql(const TdsStandIn& server, std::vector<std::string> options,
                  const std::vector<std::string>& environment = {})
{
    std::vector<std::string> argv{OSQL_PATH, "-S", "127.0.0.1," + std::to_string(server.Port())};
    argv.insert(argv.end(), options.begin(), options.end());
    return RunChild(argv, {}, environment);
}

long Received(const TdsStandIn& server, const std::string& batch)
{
    const auto batches = server.Batches();
    return std::count(batches.begin(), batches.end(), batch);
}

TEST(OsqlRun, SendsTheUsageUpdateOverATrustedConnection)
{
    TdsStandIn server;
    const std::string query = "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS";
    const auto run = Osql(server, {"-E", "-Q", query});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Received(server, query), 1);
    EXPECT_EQ(server.SuccessfulLogins(), 1);
}

TEST(OsqlRun, ATrustedLoginLeavesTheServiceTicketInTheCache)
{
    TdsStandIn server;
    OwnTicketCache cache;
    const auto run = Osql(server, {"-E", "-b", "-l", "5", "-Q", "select 1"}, cache.Environment());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(server.SuccessfulLogins(), 1);
    const auto services = cache.ServicesTicketed();
    const std::string service = "MSSQLSvc/127.0.0.1:" + std::to_string(server.Port()) + "@TALLYRUN.TEST";
    EXPECT_NE(std::find(services.begin(), services.end(), service), services.end()) << ::testing::PrintToString(services);
}

TEST(OsqlRun, NamesOutsideAsciiArriveIntact)
{
    TdsStandIn server;
    const std::string query = "DBCC UPDATEUSAGE(N'Ünïcødé 数据') WITH NO_INFOMSGS, COUNT_ROWS";
    const auto run = Osql(server, {"-E", "-Q", query});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Received(server, query), 1);
}

TEST(OsqlRun, PrintsResultSetsAsColumns)
{
    TdsStandIn server;
    server.SetCatalog({{"master", true}, {"Ünïcødé", false}});
    const auto run = Osql(server, {"-E", "-Q", "SELECT name, is_system FROM sys.databases ORDER BY name"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.rfind("name ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\n----"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nmaster "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nÜnïcødé "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n\n(2 rows affected)\n"), std::string::npos) << run.out;
}

TEST(OsqlRun, ServerErrorsArePrintedAndFailTheRunOnlyWithB)
{
    TdsStandIn server;
    server.AddReply("UPDATEUSAGE('Sales')", {2528, 1, 10, "DBCC execution completed."});
    const auto informed = Osql(server, {"-E", "-b", "-Q", "DBCC UPDATEUSAGE('Sales')"});
    EXPECT_EQ(informed.exitStatus, 0) << informed.err;
    EXPECT_EQ(informed.out, "DBCC execution completed.\n");

    server.AddReply("UPDATEUSAGE('Nope')", {2520, 11, 16, "Could not find database 'Nope'."});
    const std::string query = "DBCC UPDATEUSAGE('Nope') WITH NO_INFOMSGS, COUNT_ROWS";

    // FreeTDS keeps no state of a message, so none is printed; the severity must not stand in for it.
    const auto strict = Osql(server, {"-E", "-b", "-Q", query});
    EXPECT_EQ(strict.exitStatus, 1);
    EXPECT_NE(strict.out.find("Msg 2520, Level 16, Server STANDIN, Line 1\nCould not find database 'Nope'.\n"),
              std::string::npos)
        << strict.out;

    const auto lenient = Osql(server, {"-E", "-Q", query});
    EXPECT_EQ(lenient.exitStatus, 0);
    EXPECT_EQ(lenient.out, strict.out);
}

TEST(OsqlCommandLine, UsageGoesToStandardErrorOnMistakesAndToStandardOutputOnRequest)
{
    const auto wrong = RunChild({OSQL_PATH, "-E", "-Q", "x", "-z"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_EQ(wrong.out, "");
    EXPECT_EQ(wrong.err.rfind("osql: Unknown option \"-z\".\n\nusage: osql", 0), 0u) << wrong.err;

    const auto asked = RunChild({OSQL_PATH, "-?"});
    EXPECT_EQ(asked.exitStatus, 0);
    EXPECT_EQ(asked.err, "");
    EXPECT_EQ(asked.out.rfind("usage: osql", 0), 0u) << asked.out;
}

TEST(OsqlCommandLine, ALongServerNameIsQuotedWholeOnce)
{
    const std::string name(10000, 'a');
    const auto run = RunChild({OSQL_PATH, "-S", name, "-E", "-Q", "x"});
    EXPECT_EQ(run.exitStatus, 1);
    std::size_t whole = 0;
    for (auto at = run.err.find(name); at != std::string::npos; at = run.err.find(name, at + name.size()))
        ++whole;
    EXPECT_EQ(whole, 1u) << run.err.size() << " characters of error";
}

}  // namespace
}  // namespace tallyrun::testing
