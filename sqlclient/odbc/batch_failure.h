// The error raised when a call of a batch fails without a server error: a timeout, a connection the server
// closed or reset, or the driver's own failure, said in plain words where the driver's records do not say it.
#pragma once

#include "sqlclient/odbc/diagnostic.h"

#include <chrono>
#include <vector>

namespace tallyrun::odbc {

enum class ConnectionEnd {
    Unknown,  // open, or nothing tells
    Lost,     // the driver counts it dead, for a reason it does not give
    Closed,   // the server closed it (FIN)
    Reset,    // the server reset it (RST)
};

// Raises QueryTimeout when the call timed out (the driver says so, or `cut` tells that our own bound cut the
// connection); else OdbcError, named after how the connection ended when it did.
[[noreturn]] void RaiseCallFailure(std::vector<Diagnostic> records, ConnectionEnd end,
                                   std::chrono::seconds queryTimeout, bool cut);

}  // namespace tallyrun::odbc
