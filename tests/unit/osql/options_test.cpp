// osql's command line: what each option sets, and what is refused and why.
#include "osql/options.h"

#include <gtest/gtest.h>

namespace tallyrun::osql {
namespace {

TEST(Options, TheLauncherCommandLine)
{
    // As the run button's command line reaches the client once split into arguments.
    const Options options = ParseOptions({"-S", "SRV1", "-E", "-Q", "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS"});
    EXPECT_EQ(options.server, "SRV1");
    EXPECT_TRUE(options.trusted);
    EXPECT_EQ(options.query, "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS");
    EXPECT_FALSE(options.login);
    EXPECT_FALSE(options.failOnError);
    EXPECT_EQ(options.loginTimeout, std::chrono::seconds(15));
    EXPECT_EQ(options.queryTimeout, std::chrono::seconds(0));
}

TEST(Options, EveryOptionWithAttachedOrSeparateValues)
{
    const Options options =
        ParseOptions({"-Stcp:db,1500", "-U", "sa", "-P-secret", "-d", "Ünïcødé", "-l", "2", "-t30", "-b", "-Qselect 1"});
    EXPECT_EQ(options.server, "tcp:db,1500");
    EXPECT_EQ(options.login, "sa");
    EXPECT_EQ(options.password, "-secret");
    EXPECT_EQ(options.database, "Ünïcødé");
    EXPECT_EQ(options.loginTimeout, std::chrono::seconds(2));
    EXPECT_EQ(options.queryTimeout, std::chrono::seconds(30));
    EXPECT_TRUE(options.failOnError);
    EXPECT_EQ(options.query, "select 1");
    EXPECT_FALSE(options.trusted);
}

TEST(Options, HelpOnlyWhenAskedForAlone)
{
    EXPECT_TRUE(ParseOptions({"-?"}).help);
    // A server typed as "srv -?" reaches the client split in two; a help text with status 0 would pass for a run.
    EXPECT_THROW(ParseOptions({"-S", "srv", "-?", "-E", "-Q", "x"}), UsageError);
    EXPECT_FALSE(ParseOptions({"-S-?", "-E", "-Q-?"}).help) << "values that read -? are values";
}

TEST(Options, RefusedCommandLinesSayWhatIsWrong)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"-E", "-Q", "x", "-z"}, "Unknown option \"-z\""},
        {{"-E", "-Q", "x", "-Eb"}, "Unknown option"},
        {{"-E", "-Q"}, "-Q needs a value"},
        {{"-S", "-E", "-Q", "x"}, "-S needs a value"},
        {{"-S", "my", "server", "-E", "-Q", "x"}, "Unexpected argument \"server\""},
        {{"-E", "-E", "-Q", "x"}, "more than once"},
        {{"-E", "-Q", "x", "-l", "0"}, "from 1 to 65535"},
        {{"-E", "-Q", "x", "-t", "65536"}, "from 0 to 65535"},
        {{"-E", "-Q", "x", "-t", "5s"}, "not \"5s\""},
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

}  // namespace
}  // namespace tallyrun::osql
