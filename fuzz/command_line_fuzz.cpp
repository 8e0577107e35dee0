// The client's command line: for any server and database text it takes, the C runtime's split of the composed line
// is exactly osql -S <the server, as one word> -E -Q <query>, and the query's literal reads back as the database
// name (a Unicode literal exactly when the name goes beyond ASCII). What it refuses is a server text that is no
// server name (so can never be more than one word) or a database name with a double quote.
#include "fuzz/property.h"
#include "main_window/command_line.h"
#include "base/error.h"
#include "platform/process/command_line_split.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace tallyrun;
using fuzz::Require;

namespace {

// The text of a T-SQL string literal at the front of `text` (which it consumes), '' standing for one quote.
std::optional<std::string> TakeLiteral(std::string_view& text)
{
    if (text.empty() || text.front() != '\'')
        return std::nullopt;
    std::string value;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '\'') {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\'') {
            value += '\'';
            ++i;
        } else {
            text.remove_prefix(i + 1);
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string server = input.ConsumeRandomLengthString(128);
    const std::string database = input.ConsumeRemainingBytesAsString();

    std::string line;
    try {
        line = OsqlCommandLine(server, database);
    } catch (const Error& error) {
        Require(error.Number() == errc::InvalidArgument, "a refused name is an invalid argument");
        return 0;
    }
    Require(database.find('"') == std::string::npos, "a double quote in the database name never reaches the line");

    const std::vector<std::string> expected{"osql", "-S", server, "-E", "-Q"};
    const auto words = SplitCommandLine(line);
    Require(words.size() == expected.size() + 1, "the line has the server as one word and one query");
    Require(std::equal(expected.begin(), expected.end(), words.begin()), "the words before the query are as typed");

    const bool ascii = std::all_of(database.begin(), database.end(), [](char c) { return (c & 0x80) == 0; });
    std::string_view query = words.back();
    const std::string_view start = ascii ? "DBCC UPDATEUSAGE(" : "DBCC UPDATEUSAGE(N";
    Require(query.starts_with(start), "the query names the command, with N exactly for names beyond ASCII");
    query.remove_prefix(start.size());
    Require(TakeLiteral(query) == database, "the literal reads back as the database name");
    Require(query == ") WITH NO_INFOMSGS, COUNT_ROWS", "nothing but the options follows the literal");
    return 0;
}
