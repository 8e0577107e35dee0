// The settings FreeTDS takes only from its settings file (freetds.conf), never from a connection string: the host
// its server's certificate must name, the trust store to check it against, and TLS 1.0 refused.
#pragma once

#include "sqlclient/odbc/server_name.h"

#include <string>

namespace tallyrun::odbc {

// The file's one section, named after the host, as the connection string names it (SERVERNAME) and FreeTDS passes
// on as the server's name. With `trustServerCertificate` (-C) nothing is checked, but TLS 1.0 stays refused (RFC
// 8996). Raises Error (errc::InvalidArgument) for a host too long for the lines FreeTDS reads, which it would cut.
std::string FreeTdsSettings(const ServerAddress& address, bool trustServerCertificate);

}  // namespace tallyrun::odbc
