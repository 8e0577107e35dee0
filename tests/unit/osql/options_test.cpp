#include "osql/options.h"

#include <gtest/gtest.h>

#include <cctype>

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

struct Refused {
    std::vector<std::string> arguments;
    const char* reason;
};

// CTest names each case after its arguments: letters and digits as given, anything else as _XX (hex).
void PrintTo(const Refused& refused, std::ostream* out)
{
    static const char* const hex = "0123456789ABCDEF";
    for (const auto& argument : refused.arguments) {
        if (&argument != &refused.arguments.front())
            *out << "_20";
        for (unsigned char c : argument) {
            if (std::isalnum(c))
                *out << c;
            else
                *out << '_' << hex[c >> 4] << hex[c & 15];
        }
    }
}

class RefusedCommandLines : public testing::TestWithParam<Refused> {};

TEST_P(RefusedCommandLines, SayWhatIsWrong)
{
    try {
        ParseOptions(GetParam().arguments);
        FAIL() << "accepted";
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedCommandLines,
    testing::Values(Refused{{"-E", "-Q", "x", "-z"}, "Unknown option \"-z\""},
                    Refused{{"-E", "-Q", "x", "-Eb"}, "Unknown option"},
                    Refused{{"-E", "-Q"}, "-Q needs a value"},
                    Refused{{"-S", "-E", "-Q", "x"}, "-S needs a value"},
                    Refused{{"-S", "my", "server", "-E", "-Q", "x"}, "Unexpected argument \"server\""},
                    Refused{{"-E", "-E", "-Q", "x"}, "more than once"},
                    Refused{{"-E", "-Q", "x", "-l", "0"}, "from 1 to 65535"},
                    Refused{{"-E", "-Q", "x", "-t", "65536"}, "from 0 to 65535"},
                    Refused{{"-E", "-Q", "x", "-t", "5s"}, "not \"5s\""},
                    Refused{{"-E", "-U", "sa", "-P", "p", "-Q", "x"}, "exclude each other"},
                    Refused{{"-U", "sa", "-Q", "x"}, "go together"},
                    Refused{{"-Q", "x"}, "Give -E"},
                    Refused{{"-E"}, "Give the query"},
                    Refused{{"-E", "-Q", ""}, "Give the query"}));

}  // namespace
}  // namespace tallyrun::osql
