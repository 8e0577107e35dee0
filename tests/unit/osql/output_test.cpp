#include "osql/output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tallyrun::osql {
namespace {

odbc::Diagnostic Message(const char* sqlState, long native, const char* text)
{
    odbc::Diagnostic message;
    message.sqlState = sqlState;
    message.native = native;
    message.text = text;
    return message;
}

TEST(Messages, ErrorsGetTheHeaderAdministratorsKnow)
{
    auto error = Message("42000", 2520, "[FreeTDS][SQL Server]Could not find database 'Sales'.");
    error.severity = 16;
    error.state = 11;
    error.server = "SRV1";
    error.line = 1;
    EXPECT_EQ(FormatMessage(error), "Msg 2520, Level 16, State 11, Server SRV1, Line 1\nCould not find database 'Sales'.");
}

TEST(Messages, FieldsTheDriverDoesNotTellAreLeftOut)
{
    auto error = Message("42000", 50000, "[FreeTDS][SQL Server]Bad");
    error.severity = 16;
    error.line = 3;
    EXPECT_EQ(FormatMessage(error), "Msg 50000, Level 16, Line 3\nBad");
    auto inProcedure = Message("42000", 50000, "Bad");
    inProcedure.procedure = "usp_Fix";
    EXPECT_EQ(FormatMessage(inProcedure), "Msg 50000, Procedure usp_Fix\nBad");
}

TEST(Messages, ServerTextCannotDriveTheTerminal)
{
    auto error = Message("42000", 4060, "Cannot open database \"x\x1B[2J\ny\" requested by the login.");
    error.severity = 11;
    error.server = "S\xC2\x9B" "1";  // U+009B, the C1 control sequence introducer
    EXPECT_EQ(FormatMessage(error),
              "Msg 4060, Level 11, Server S\\u009B1\nCannot open database \"x\\x1B[2J\\ny\" requested by the login.");
    EXPECT_EQ(TerminalSafe("tab\tstays, Ünïcødé stays, \r\x7F\x01 do not"), "tab\tstays, Ünïcødé stays, \\r\\x7F\\x01 do not");
    EXPECT_EQ(TerminalSafe("two\nlines\x1B", LineBreaks::Keep), "two\nlines\\x1B");
}

TEST(Messages, AFailureKeepsItsLinesButNotTheServersLineBreaks)
{
    const odbc::OdbcError login({Message("42000", 4060, "[FreeTDS][SQL Server]Cannot open database \"a\nb\x1B\".")},
                                {"Check the name."});
    EXPECT_EQ(FormatError(login), "Cannot open database \"a\\nb\\x1B\".\nCheck the name.");
    EXPECT_EQ(FormatError(Error(5, "ours\non two lines\x07")), "ours\non two lines\\x07");
}

TEST(Results, ColumnsTakeTheirDisplayWidthInCharactersAndNumbersAlignRight)
{
    std::ostringstream out;
    ResultPrinter printer(out, {{"name", 0, 8, false}, {"id", 0, 5, true}, {"note", 0, 100000, false}});
    printer.PrintHeader();
    printer.PrintRow({"Ünïcødé", "42", std::nullopt});
    printer.PrintRow({"a much longer name", "7", "x"});
    printer.PrintRow({"a\nb\x1B", "1", "y"});
    const std::string dashes128(128, '-');
    EXPECT_EQ(out.str(),
              "name        id note\n"
              "-------- ----- " + dashes128 + "\n"
              "Ünïcødé     42 NULL\n"
              "a much longer name     7 x\n"
              "a\\nb\\x1B     1 y\n");
}

}  // namespace
}  // namespace tallyrun::osql
