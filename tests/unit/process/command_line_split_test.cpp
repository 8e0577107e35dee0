#include "platform/process/command_line_split.h"

#include <gtest/gtest.h>

namespace tallyrun {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, ProgramNameKnowsOnlyGroupingQuotes)
{
    EXPECT_EQ(SplitCommandLine("osql"), Words{"osql"});
    EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\osql.exe" -S x)"),
              (Words{R"(C:\Program Files\osql.exe)", "-S", "x"}));
    EXPECT_EQ(SplitCommandLine(R"(a\"b c" d)"), (Words{R"(a\b c)", "d"}));
    EXPECT_EQ(SplitCommandLine(" osql -S"), (Words{"", "osql", "-S"}));
}

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup)
{
    EXPECT_EQ(SplitCommandLine("p a  b\tc "), (Words{"p", "a", "b", "c"}));
    EXPECT_EQ(SplitCommandLine(R"(p "a b" c"d e"f "open)"), (Words{"p", "a b", "cd ef", "open"}));
    EXPECT_EQ(SplitCommandLine(R"(p "" x "")"), (Words{"p", "", "x", ""}));
    EXPECT_EQ(SplitCommandLine(R"(p a""b "a""b" "a"" b")"), (Words{"p", "ab", R"(a"b)", R"(a" b)"}));
}

TEST(SplitCommandLine, BackslashesEscapeOnlyADoubleQuote)
{
    EXPECT_EQ(SplitCommandLine(R"(p a\b\\c\)"), (Words{"p", R"(a\b\\c\)"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\"b)"), (Words{"p", R"(a"b)"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\\"b c")"), (Words{"p", R"(a\b c)"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\\\"b "c\\")"), (Words{"p", R"(a\"b)", R"(c\)"}));
}

TEST(SplitCommandLine, ClientLineKeepsTheQueryInOnePiece)
{
    EXPECT_EQ(SplitCommandLine(R"(osql -S SRV 1 -E -Q "DBCC UPDATEUSAGE('O''Brien') WITH NO_INFOMSGS, COUNT_ROWS")"),
              (Words{"osql", "-S", "SRV", "1", "-E", "-Q",
                     "DBCC UPDATEUSAGE('O''Brien') WITH NO_INFOMSGS, COUNT_ROWS"}));
}

}  // namespace
}  // namespace tallyrun
