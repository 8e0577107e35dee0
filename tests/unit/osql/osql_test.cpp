// osql's pure units: what each option of its command line sets and what is refused and why, and the printed
// form of messages.
#include "osql/options.h"
#include "osql/program.h"
#include "osql/output.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::osql {
namespace {

TEST(Options, EveryOptionWithAttachedOrSeparateValues)
{
    const Options options =
        ParseOptions({"-Stcp:db,1500", "-U", "sa", "-P-secret", "-d", "Ünïcødé", "-l", "1", "-t39", "-b", "-Qselect 1",
                      "-N", "s", "-C"});
    EXPECT_EQ(options.server, "tcp:db,1500");
    EXPECT_EQ(options.login, "sa");
    EXPECT_EQ(options.password, "-secret");
    EXPECT_EQ(options.database, "Ünïcødé");
    EXPECT_EQ(options.loginTimeout, std::chrono::seconds(1));
    EXPECT_EQ(options.queryTimeout, std::chrono::seconds(39));
    EXPECT_TRUE(options.failOnError);
    EXPECT_EQ(options.query, "select 1");
    EXPECT_FALSE(options.trusted);
    EXPECT_EQ(options.encryption, odbc::Encryption::Strict);
    EXPECT_TRUE(options.trustServerCertificate);
    const Options defaults = ParseOptions({"-E", "-Q", "x"});
    EXPECT_EQ(defaults.loginTimeout, std::chrono::seconds(15));
    EXPECT_EQ(defaults.encryption, odbc::Encryption::Mandatory);
    EXPECT_FALSE(defaults.trustServerCertificate);
    EXPECT_EQ(ParseOptions({"-E", "-Q", "x", "-No"}).encryption, odbc::Encryption::Optional);
}

TEST(Options, HelpOnlyWhenAskedForAlone)
{
    EXPECT_TRUE(ParseOptions({"-?"}).help);
    // A server typed as "srv -?" reaches the client split in two; a help text with status 0 would pass for a run.
    EXPECT_THROW(ParseOptions({"-S", "srv", "-?", "-E", "-Q", "x"}), UsageError);
    EXPECT_THROW(ParseOptions({"-?", "-E"}), UsageError);
    EXPECT_FALSE(ParseOptions({"-S-?", "-E", "-Q-?"}).help) << "values that read -? are values";
}

TEST(Options, RefusedCommandLinesSayWhatIsWrong)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"-E", "-Q", "x", "-z"}, "Unknown option \"-z\""},
        {{"-E", "-Q"}, "-Q needs a value"},
        {{"-S", "-E", "-Q", "x"}, "-S needs a value"},
        {{"-S", "my", "server", "-E", "-Q", "x"}, "Unexpected argument \"server\""},
        {{"-E", "-E", "-Q", "x"}, "more than once"},
        {{"-E", "-Q", "x", "-l", "0"}, "from 1 to 65535"},
        {{"-E", "-Q", "x", "-t", "65536"}, "from 0 to 65535"},
        {{"-E", "-Q", "x", "-t", "5s"}, "not \"5s\""},
        {{"-E", "-Q", "x", "-N", "mandatory"}, "-N needs s (strict), m (mandatory) or o (optional)"},
        {{"-E", "-Q", "x", "-Cx"}, "Unknown option \"-Cx\""},
        {{"-E", "-U", "sa", "-P", "p", "-Q", "x"}, "exclude each other"},
        {{"-U", "sa", "-Q", "x"}, "go together"},
        {{"-Q", "x"}, "Give -E"},
        {{"-E"}, "Give the query"},
        {{"-E", "-Q", ""}, "Give the query"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        try {
            ParseOptions(c.arguments);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

// Windows hands the client its command line's first word, ".exe" and all; its failures must still read "osql: ".
TEST(Options, TheClientNamesItselfByTheFileItWasStartedAs)
{
    for (const auto& [startedAs, name] : {std::pair{"osql", "osql"}, {"/usr/bin/tallyrun-osql", "tallyrun-osql"},
                                          {"C:/Tools/osql.EXE", "osql"}, {"osql.exe", "osql"}, {"", "osql"}})
        EXPECT_EQ(ProgramName(startedAs), name) << startedAs;
}

using fixtures::Record;

TEST(Messages, ErrorsGetTheHeaderAdministratorsKnowLeavingOutWhatTheDriverDoesNotTell)
{
    auto error = Record("42000", 2520, "[FreeTDS][SQL Server]Could not find database 'Sales'.", 16);
    error.state = 11;
    error.server = "SRV1";
    error.line = 1;
    EXPECT_EQ(FormatMessage(error), "Msg 2520, Level 16, State 11, Server SRV1, Line 1\nCould not find database 'Sales'.");
    auto inProcedure = Record("42000", 50000, "Bad");
    inProcedure.procedure = "usp_Fix";
    EXPECT_EQ(FormatMessage(inProcedure), "Msg 50000, Procedure usp_Fix\nBad");
}

TEST(Messages, ServerTextCannotDriveTheTerminal)
{
    auto error = Record("42000", 4060, "Cannot open database \"x\x1B[2J\ny\" requested by the login.", 11);
    error.server = "S\xC2\x9B" "1";  // U+009B, the C1 control sequence introducer
    EXPECT_EQ(FormatMessage(error),
              "Msg 4060, Level 11, Server S\\u009B1\nCannot open database \"x\\x1B[2J\\ny\" requested by the login.");
    EXPECT_EQ(TerminalSafe("tab\tstays, Ünïcødé stays, \r\x7F\x01 do not"), "tab\tstays, Ünïcødé stays, \\r\\x7F\\x01 do not");
    EXPECT_EQ(TerminalSafe("two\nlines\x1B", LineBreaks::Keep), "two\nlines\\x1B");

    // A failure keeps its own lines but not the server's line breaks.
    const odbc::OdbcError login({Record("42000", 4060, "[FreeTDS][SQL Server]Cannot open database \"a\nb\x1B\".")},
                                {"Check the name."});
    EXPECT_EQ(FormatError(login), "Cannot open database \"a\\nb\\x1B\".\nCheck the name.");
    EXPECT_EQ(FormatError(Error(5, "ours\non two lines\x07")), "ours\non two lines\\x07");
}

}  // namespace
}  // namespace tallyrun::osql
