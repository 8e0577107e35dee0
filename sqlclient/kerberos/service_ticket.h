// A trusted login's service ticket, fetched before the driver starts, within the login timeout: FreeTDS's GSSAPI
// waits on a KDC that does not answer far longer than any timeout it is given, and finds the ticket in the cache.
#pragma once

#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/instance_port.h"

#include <chrono>
#include <optional>
#include <string>

namespace tallyrun::odbc {

struct TicketPrefetch {
    bool asked = false;                            // a trusted login to a known service principal
    std::optional<std::string> problem;            // what kept the ticket away, when asked
    std::chrono::steady_clock::time_point deadline;  // when the login's time runs out
    std::chrono::seconds loginTimeout{0};          // what is left of it for the driver, as ConnectTarget's
};

// Asks for the ticket of the service principal of `target` (when a trusted login's port is known) within the time
// the target has left, unlimited (zero) bounded by the default of ConnectOptions. Raises Error(errc::KdcDidNotAnswer) or
// Error(errc::HostLookupTimedOut) when that time runs out: nothing is left for the driver then.
TicketPrefetch PrefetchServiceTicket(const ConnectTarget& target, const ConnectOptions& options);

}  // namespace tallyrun::odbc
