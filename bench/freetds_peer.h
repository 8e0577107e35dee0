// isql making the connection the client makes through FreeTDS: the same connection string, and the settings file
// the client keeps to itself written where FREETDSCONF names it for isql.
#pragma once

#include "sqlclient/odbc/connection_string.h"
#include "sqlclient/odbc/driver_profile.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace tallyrun::bench {

// The shell command that starts isql with `options` against `server`.
inline std::string IsqlCommand(const std::string& server, const std::string& options)
{
    const odbc::Driver driver{odbc::DriverKind::FreeTds, odbc::FreeTdsDebianLibrary};
    const odbc::ServerAddress address = odbc::ParseServerName(server);
    const odbc::ConnectOptions connect;
    const std::string settings = "/tmp/tallyrun-bench-freetds-" + std::to_string(::getpid()) + ".conf";
    std::ofstream(settings) << odbc::ProfileOf(driver.kind).settingsFile(address, connect.trustServerCertificate);
    return "FREETDSCONF=" + settings + " isql " + options + " -k '"
           + odbc::BuildConnectionString(driver, address, connect) + "'";
}

}  // namespace tallyrun::bench
