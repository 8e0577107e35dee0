// Why a login failed, beyond the driver's "Unable to connect": a timeout, a refused connection, or a Kerberos
// problem, found after the fact and told as notes that follow the driver's own messages.
#pragma once

#include "platform/odbc/connect_options.h"
#include "platform/odbc/diagnostic.h"
#include "platform/odbc/server_name.h"

#include <string>
#include <vector>

namespace tallyrun::odbc {

std::vector<std::string> ExplainConnectFailure(const ServerAddress& address, const ConnectOptions& options,
                                               const std::vector<Diagnostic>& records);

}  // namespace tallyrun::odbc
