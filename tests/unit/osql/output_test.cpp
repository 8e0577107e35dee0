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
    error.state = 1;
    error.server = "SRV1";
    error.line = 1;
    EXPECT_EQ(FormatMessage(error), "Msg 2520, Level 16, State 1, Server SRV1, Line 1\nCould not find database 'Sales'.");
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

TEST(Results, ColumnsTakeTheirDisplayWidthInCharactersAndNumbersAlignRight)
{
    std::ostringstream out;
    ResultPrinter printer(out, {{"name", 0, 8, false}, {"id", 0, 5, true}, {"note", 0, 100000, false}});
    printer.PrintHeader();
    printer.PrintRow({"Ünïcødé", "42", std::nullopt});
    printer.PrintRow({"a much longer name", "7", "x"});
    const std::string dashes128(128, '-');
    EXPECT_EQ(out.str(),
              "name        id note\n"
              "-------- ----- " + dashes128 + "\n"
              "Ünïcødé     42 NULL\n"
              "a much longer name     7 x\n");
}

}  // namespace
}  // namespace tallyrun::osql
