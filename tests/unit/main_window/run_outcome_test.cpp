// Reading a finished run of the client: which runs failed, and what the user is told, from output as osql prints
// it on each kind of failure.
#include "main_window/run_outcome.h"

#include "client_lines/client_lines.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

using End = ClientOutcome::End;

// What the user is told of the run; "(nothing)" for a run that succeeded.
std::string Told(End end, int code, const std::string& output)
{
    return RunFailure({end, code, output}).value_or("(nothing)");
}

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

// Where the driver checks no certificate, the client says so first, and the run goes on.
const std::string Unchecked = client_lines::WarningPrefix(client_lines::ClientName)
                              + "The ODBC driver FreeTDS cannot be told here to check the server's certificate.\n";

TEST(RunOutcome, SuccessfulRunsSayNothing)
{
    for (const std::string& output : std::vector<std::string>{
             "", Unchecked, "Msg 5701, Level 10, State 2, Server SRV1, Line 1\nChanged database context to 'Sales'.\n",
             "name\n----\nMsg 2520\nMsg 12, Level high\nMsg 12, Level 16 high\nsaid: Msg 2520, Level 16, Line 1\n\n"
             "(1 row affected)\n"})
        EXPECT_EQ(Told(End::Exited, 0, output), "(nothing)") << output;
    EXPECT_EQ(Told(End::Unknown, 0, ""), "(nothing)");
}

TEST(RunOutcome, AServerErrorFailsTheRunThoughTheClientExitedZero)
{
    // The last: a driver that tells no severity, as through Wine's ODBC bridge.
    for (const std::string header : {"Msg 2520, Level 16", "Msg 2520, Server STANDIN"})
        EXPECT_EQ(Told(End::Exited, 0, header + "\r\n" + NoSuchDatabase + "\r\n"), NoSuchDatabase) << header;
    // With -b the client also exits 1; the server's words are all that is said, once each, the informational
    // message left out.
    EXPECT_EQ(Told(End::Exited, 1,
                   "Msg 5701, Level 10, State 2, Server SRV1, Line 1\nChanged database context.\n" + UnknownDatabase +
                       UnknownDatabase + "Msg 50000, Level 11, State 1, Server SRV1, Procedure p, Line 3\nBad\nnews\n"),
              NoSuchDatabase + "\nBad news");
}

TEST(RunOutcome, TheClientsOwnFailuresAreShownAfterTheServersWords)
{
    const std::string refused = Told(End::Exited, 1, Refused);
    EXPECT_TRUE(refused.starts_with("Cannot connect to 127.0.0.1,1:\n")) << refused;
    EXPECT_EQ(Told(End::Exited, 1, Unchecked + Refused), refused);
    // The end unseen: the client's words still tell.
    const std::string noTicket = Told(End::Unknown, 0, NoTicket);
    EXPECT_NE(noTicket.find("Run kinit to get one."), std::string::npos) << noTicket;
    EXPECT_EQ(noTicket.find("exit status"), std::string::npos) << noTicket;

    const std::string queryFailed = "osql: the query failed:\nThe connection was reset.\n";
    const std::string both = Told(End::Exited, 1, queryFailed + "\n" + UnknownDatabase);
    EXPECT_TRUE(both.starts_with("Could not find database 'Salse'.")) << both;
    EXPECT_NE(both.find(".\nThe query failed:\nThe connection was reset."), std::string::npos) << both;
    EXPECT_EQ(Told(End::Exited, 1, "osql: Unknown option \"-z\".\n\nusage: osql [-S server]\n"),
              "Unknown option \"-z\".");
}

TEST(RunOutcome, AClientStoppedFromOutsideOrEndedBadlyWithoutWordsSaysSo)
{
    for (const std::string which : {"1, SIGHUP", "2, SIGINT", "3, SIGQUIT", "9, SIGKILL", "15, SIGTERM"})
        EXPECT_EQ(Told(End::Signalled, std::stoi(which), ""),
                  "osql was stopped from outside (signal " + which + ") before it finished.");
    for (const std::string which : {"6, SIGABRT", "11, SIGSEGV"})
        EXPECT_EQ(Told(End::Signalled, std::stoi(which), ""), "osql ended abnormally (signal " + which + ").");

    // Some other program answering to the name: its last lines and its status.
    std::string output;
    for (int i = 1; i <= 9; ++i)
        output += "line " + std::to_string(i) + "\n\n";
    EXPECT_EQ(Told(End::Exited, 3, output),
              "osql ended with exit status 3.\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9");
    EXPECT_EQ(Told(End::Exited, static_cast<int>(0xC0000005u), ""),
              "osql ended with exit status -1073741819 (0xC0000005).");
}

TEST(RunOutcome, LongStoriesAreTrimmedToAMessageBoxWithoutBreakingACharacter)
{
    std::string output;
    for (int i = 0; i < 40; ++i)
        output += "Msg " + std::to_string(50000 + i) + ", Level 16, State 1, Line 1\n" + std::to_string(i) + " " +
                  std::string(30, 'x') + "\n";
    const std::string many = Told(End::Exited, 0, output);
    EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 12);
    EXPECT_TRUE(many.ends_with("\n...")) << many;

    // A last story that fits exactly; one that leaves just room for "\n..."; one that does not; then a wide one
    // cut inside a character, at its first and at a later one.
    const std::string x(1200, 'x');
    std::string wide;
    for (int i = 0; i < 1000; ++i)
        wide += "é";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{x}, x},
        {{x.substr(0, 1196), wide}, x.substr(0, 1196) + "\n..."},
        {{x.substr(0, 1198), wide}, x.substr(0, 1197) + "..."},
        {{x.substr(0, 1195), wide}, x.substr(0, 1195) + "\n..."},
        {{x.substr(0, 1191), wide}, x.substr(0, 1191) + "\néé..."},
    };
    for (const auto& [stories, told] : cases) {
        std::string output;
        for (std::size_t i = 0; i < stories.size(); ++i)
            output += "Msg " + std::to_string(i + 1) + ", Level 16\n" + stories[i] + "\n";
        EXPECT_EQ(Told(End::Exited, 0, output), told) << stories[0].size();
    }
}

}  // namespace
}  // namespace tallyrun
