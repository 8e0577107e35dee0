// The ODBC connection string for a parsed server name and the caller's options, in the dialect of the chosen
// driver (see driver_profile.h).
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/driver.h"
#include "sqlclient/odbc/server_name.h"

#include <string>
#include <string_view>

namespace tallyrun::odbc {

// Wraps a value in braces (doubling any closing brace) so that ';', '=' or '}' in it cannot end the attribute.
std::string QuoteAttribute(std::string_view value);

std::string BuildConnectionString(const Driver& driver, const ServerAddress& address,
                                  const ConnectOptions& options);

}  // namespace tallyrun::odbc
