// The ODBC connection string for a parsed server name and the caller's options, in the dialect of the chosen
// driver (see driver_profile.h). The database is not in it: it goes as SQL_ATTR_CURRENT_CATALOG, which no driver
// reads as attributes.
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/server_name.h"

#include <string>
#include <string_view>

namespace tallyrun::odbc {

// Raises Error (errc::InvalidArgument) naming the value (e.g. "The password") when it holds a NUL, which ends a
// text at every ODBC call.
void RefuseNul(std::string_view named, std::string_view value);

// Each value typed or given by the caller braced as the driver reads it back whole. Raises Error
// (errc::InvalidArgument) naming a value the driver cannot carry.
std::string BuildConnectionString(const Driver& driver, const ServerAddress& address,
                                  const ConnectOptions& options);

}  // namespace tallyrun::odbc
