// Reading a finished run of the client: which runs failed, and what the user is told, from output as osql prints
// it on each kind of failure.
#include "main_window/run_outcome.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

using End = ClientOutcome::End;

const std::string NoSuchDatabase =
    "Could not find database 'Salse'. The database either does not exist, or was dropped before a statement tried "
    "to use it. Verify if the database name is correct by executing the sys.databases catalog view.";
const std::string UnknownDatabase = "Msg 2520, Level 16, State 11, Server SRV1, Line 1\n" + NoSuchDatabase + "\n";

const std::string Refused =
    "osql: cannot connect to 127.0.0.1,1:\n"
    "Unable to connect: Adaptive Server is unavailable or does not exist\n"
    "Unable to connect to data source\n"
    "The connection to 127.0.0.1 port 1 was refused: nothing listens there. Check that SQL Server runs and listens "
    "on that port.\n";

const std::string NoTicket =
    "osql: cannot connect to SRV1:\n"
    "Unable to connect to data source\n"
    "There is no Kerberos ticket in FILE:/tmp/krb5cc_1000 (No credentials cache found (filename: /tmp/krb5cc_1000))."
    " Run kinit to get one.\n";

TEST(RunOutcome, SuccessfulRunsSayNothing)
{
    const ClientOutcome runs[] = {
        {End::Exited, 0, ""},
        {End::Exited, 0, "DBCC execution completed. If DBCC printed error messages, contact your system administrator.\n"},
        {End::Exited, 0, "Msg 5701, Level 10, State 2, Server SRV1, Line 1\nChanged database context to 'Sales'.\n"},
        {End::Exited, 0, "name\n----\nMsg 2520\nMsg 12, Level high\nsaid: Msg 2520, Level 16, Line 1\n\n(1 row affected)\n"},
        {End::Unknown, 0, ""},
    };
    for (const auto& run : runs)
        EXPECT_EQ(RunFailure(run), std::nullopt) << run.output;
}

TEST(RunOutcome, AServerErrorFailsTheRunThoughTheClientExitedZero)
{
    for (const auto& header : {"Msg 2520, Level 16, State 11, Server SRV1, Line 1",
                               "Msg 2520, Level 16, Server STANDIN, Line 1", "Msg 2520, Level 16",
                               // a driver that tells no severity, as through Wine's ODBC bridge
                               "Msg 2520, Server STANDIN"}) {
        const std::string output = std::string(header) + "\r\n" + NoSuchDatabase + "\r\n";
        EXPECT_EQ(RunFailure({End::Exited, 0, output}), NoSuchDatabase) << header;
    }
    // With -b the client also exits 1; the server's words are all that is said, once each, the informational
    // message left out.
    const std::string twice = "Msg 5701, Level 10, State 2, Server SRV1, Line 1\nChanged database context.\n"
                              + UnknownDatabase + UnknownDatabase
                              + "Msg 50000, Level 11, State 1, Server SRV1, Procedure p, Line 3\nBad\nnews\n";
    const auto failure = RunFailure({End::Exited, 1, twice});
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, NoSuchDatabase + "\nBad news");
}

TEST(RunOutcome, TheClientsOwnFailuresAreShownAfterTheServersWords)
{
    const auto refused = RunFailure({End::Exited, 1, Refused});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->rfind("Cannot connect to 127.0.0.1,1:\n", 0), 0u) << *refused;
    EXPECT_NE(refused->find("\nThe connection to 127.0.0.1 port 1 was refused"), std::string::npos) << *refused;

    // The end unseen: the client's words still tell.
    const auto noTicket = RunFailure({End::Unknown, 0, NoTicket});
    ASSERT_TRUE(noTicket);
    EXPECT_NE(noTicket->find("Run kinit to get one."), std::string::npos) << *noTicket;
    EXPECT_EQ(noTicket->find("exit status"), std::string::npos) << *noTicket;

    const std::string queryFailed = UnknownDatabase + "osql: the query failed:\nThe connection was reset.\n";
    const auto both = RunFailure({End::Exited, 1, "osql: the query failed:\nThe connection was reset.\n\n"
                                                      + UnknownDatabase});
    ASSERT_TRUE(both);
    EXPECT_EQ(both->rfind("Could not find database 'Salse'.", 0), 0u) << *both;
    EXPECT_NE(both->find(".\nThe query failed:\nThe connection was reset."), std::string::npos) << *both;
    EXPECT_EQ(RunFailure({End::Exited, 1, queryFailed}), both);

    const auto usage = RunFailure({End::Exited, 1, "osql: Unknown option \"-z\".\n\nusage: osql [-S server]\n"});
    EXPECT_EQ(usage, "Unknown option \"-z\".");
}

TEST(RunOutcome, AClientStoppedFromOutsideOrEndedBadlyWithoutWordsSaysSo)
{
    const auto killed = RunFailure({End::Signalled, 9, ""});
    EXPECT_EQ(killed, "osql was stopped from outside (signal 9, SIGKILL) before it finished.");
    const auto terminated = RunFailure({End::Signalled, 15, Refused});
    ASSERT_TRUE(terminated);
    EXPECT_EQ(terminated->rfind("osql was stopped from outside (signal 15, SIGTERM) before it finished.\nCannot connect", 0), 0u)
        << *terminated;
    EXPECT_EQ(RunFailure({End::Signalled, 11, ""}), "osql ended abnormally (signal 11, SIGSEGV).");

    // Some other program answering to the name: its last lines and its status.
    std::string output;
    for (int i = 1; i <= 9; ++i)
        output += "line " + std::to_string(i) + "\n\n";
    EXPECT_EQ(RunFailure({End::Exited, 3, output}),
              "osql ended with exit status 3.\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9");
    EXPECT_EQ(RunFailure({End::Exited, static_cast<int>(0xC0000005u), ""}),
              "osql ended with exit status -1073741819 (0xC0000005).");

    // A bare client prefix tells nothing, so the status still does; with a clean exit it is no failure.
    EXPECT_EQ(RunFailure({End::Exited, 2, "\nosql: \n\nlast words\n"}),
              "osql ended with exit status 2.\nosql: \nlast words");
    EXPECT_EQ(RunFailure({End::Exited, 0, "osql: \n"}), std::nullopt);
    EXPECT_EQ(RunFailure({End::Exited, 0, "osql: \ncannot connect\n"}), "cannot connect");
}

TEST(RunOutcome, LongStoriesAreTrimmedToAMessageBoxWithoutBreakingACharacter)
{
    std::string output;
    for (int i = 0; i < 40; ++i)
        output += "Msg " + std::to_string(50000 + i) + ", Level 16, State 1, Line 1\n" + std::to_string(i) + " "
                  + std::string(30, 'x') + "\n";
    const auto many = RunFailure({End::Exited, 0, output});
    ASSERT_TRUE(many);
    EXPECT_EQ(std::count(many->begin(), many->end(), '\n'), 12);
    EXPECT_EQ(many->substr(many->size() - 4), "\n...");

    std::string wide;
    for (int i = 0; i < 2000; ++i)
        wide += "é";
    const auto one = RunFailure({End::Exited, 0, "Msg 1, Level 16\n" + wide + "\n"});
    ASSERT_TRUE(one);
    EXPECT_LE(one->size(), 1200u);
    EXPECT_EQ(one->substr(one->size() - 3), "...");
    EXPECT_EQ(one->substr(0, one->size() - 3).size() % 2, 0u) << "a character was cut in two";
}

}  // namespace
}  // namespace tallyrun
