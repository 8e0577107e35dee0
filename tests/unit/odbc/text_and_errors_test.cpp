#include "base/unicode.h"
#include "sqlclient/odbc/diagnostic.h"
#include "tests/fixtures/errors/expect_error.h"

#include <gtest/gtest.h>

namespace tallyrun::odbc {
namespace {

Diagnostic Record(const char* sqlState, long native, const char* text)
{
    Diagnostic record;
    record.sqlState = sqlState;
    record.native = native;
    record.text = text;
    return record;
}

TEST(Utf16, ReplacesMalformedInputInsteadOfStoppingOrRefusesItWhenAsked)
{
    // A stray continuation byte, an overlong '/', an encoded surrogate.
    EXPECT_EQ(ToUtf16("a\x80z", Malformed::Replace), u"a\uFFFDz");
    EXPECT_EQ(ToUtf16("\xC0\xAF", Malformed::Replace), u"\uFFFD");
    EXPECT_EQ(ToUtf16("\xED\xA0\x80", Malformed::Replace), u"\uFFFD");
    EXPECT_EQ(ToUtf8(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(fixtures::RaisedError([] { ToUtf16("a\x80z", Malformed::Refuse); }).Number(), errc::NotUtf8);
}

TEST(Diagnostics, SeverityDecidesErrorsAndSqlStateStandsInForIt)
{
    Diagnostic info = Record("01000", 5701, "x");
    EXPECT_FALSE(info.IsError());
    Diagnostic error = Record("42000", 50000, "x");
    EXPECT_TRUE(error.IsError());
    error.severity = 10;
    EXPECT_FALSE(error.IsError());

    EXPECT_FALSE(Record("42S02", 208, "Invalid object name").EndsBatch());
    EXPECT_TRUE(Record("HYT00", 0, "Timeout expired").EndsBatch());

    // Only a server error with nothing that ends the batch makes a failed call a message of the batch.
    Diagnostic missing = Record("42000", 2520, "Could not find database 'Nope'.");
    missing.severity = 16;
    Diagnostic endOfStream = Record("01000", 20017, "Unexpected EOF from the server");
    endOfStream.severity = 9;
    EXPECT_TRUE(HoldsServerError({missing}));
    EXPECT_FALSE(HoldsServerError({endOfStream}));
    EXPECT_FALSE(HoldsServerError({missing, Record("08S01", 20004, "Read from the server failed")}));
}

TEST(Diagnostics, ErrorKeepsEveryRecordAndTellsEachTextOnceThenTheNotes)
{
    const OdbcError error({Record("08S01", 20009, "[FreeTDS][SQL Server]Unable to connect"),
                           Record("08S01", 20009, "[FreeTDS][SQL Server]Unable to connect"),
                           Record("08001", 0, "[FreeTDS][SQL Server]Unable to connect to data source")},
                          {"The connection was refused."});
    EXPECT_EQ(error.Number(), 20009);
    EXPECT_EQ(error.Description(),
              "Unable to connect\nUnable to connect to data source\nThe connection was refused.");
    EXPECT_EQ(OdbcError({Record("08001", 0, "x")}).Number(), errc::OdbcCallFailed);
}

}  // namespace
}  // namespace tallyrun::odbc
