#include "main_window/command_line.h"

#include "base/error.h"
#include "sqlclient/odbc/server_name.h"

#include <algorithm>

namespace tallyrun {

namespace {

void RefuseDoubleQuote(const std::string& database)
{
    if (database.find('"') != std::string::npos)
        throw Error(errc::InvalidArgument, "The \"Database Name\" field contains a double quote (\"), which the "
                                           "client's command line cannot carry. Please remove it and try again.");
}

bool IsPlainAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string DoubledSingleQuotes(const std::string& text)
{
    std::string doubled;
    doubled.reserve(text.size());
    for (char c : text) {
        doubled += c;
        if (c == '\'')
            doubled += '\'';
    }
    return doubled;
}

}  // namespace

std::string OsqlCommandLine(const std::string& server, const std::string& database)
{
    // The client splits its command line at spaces, so a Server field such as "srv -N o" would hand it options of
    // its own; a server name has no space, quote or leading '-', and the database list refuses the same text with
    // the same words.
    odbc::ParseServerName(server);
    RefuseDoubleQuote(database);
    // Without the N the server reads the literal in its own code page and may turn such a name into another.
    const char* literalStart = IsPlainAscii(database) ? "('" : "(N'";
    return "osql -S " + server + " -E -Q \"DBCC UPDATEUSAGE" + literalStart + DoubledSingleQuotes(database) +
           "') WITH NO_INFOMSGS, COUNT_ROWS\"";
}

}  // namespace tallyrun
