// The command line that runs the usage update on one database through the command-line client.
#pragma once

#include <string>

namespace tallyrun {

// "osql -S <server> -E -Q "DBCC UPDATEUSAGE('<database>') WITH NO_INFOMSGS, COUNT_ROWS"", names as typed (UTF-8).
// Single quotes in the database name are doubled, and a name beyond plain ASCII becomes a Unicode literal N'...'.
// Raises an Error (errc::InvalidArgument) when the server is not a server name (see odbc::ParseServerName), and one
// naming the field when the database name holds a double quote, which would end the quoted query early.
std::string OsqlCommandLine(const std::string& server, const std::string& database);

}  // namespace tallyrun
