// Where FreeTDS is to connect for a named instance: the port is asked of the host's SQL Browser here, within the
// login timeout, because FreeTDS's own lookup keeps asking for far longer than any login timeout it is given.
#pragma once

#include "sqlclient/odbc/driver.h"
#include "sqlclient/net/host_lookup.h"
#include "sqlclient/odbc/server_name.h"

#include <chrono>
#include <cstdint>

namespace tallyrun::odbc {


struct ConnectTarget {
    ServerAddress address;
    std::chrono::seconds loginTimeout;  // what the lookup left of the caller's, never less than a second
};

// For a driver whose profile asks the browser first (FreeTDS) and a named instance without a port: the address
// with the port that the SQL Browser on UDP `browserPort` of the host names, the host kept as typed (Kerberos asks
// for a service principal built from it), and the login timeout less the time the lookup took. A zero login
// timeout (no limit for the driver) bounds the lookup (the host name's included) by the default of ConnectOptions
// and stays zero. Any other driver or address passes unchanged. Raises Error(errc::HostNotFound),
// Error(errc::HostLookupTimedOut) or Error(errc::InstanceNotFound) naming the host and instance, or the socket's
// error.
ConnectTarget ResolveConnectTarget(DriverKind kind, const ServerAddress& address, std::chrono::seconds loginTimeout,
                                   std::uint16_t browserPort, const AddressLookup& lookup = SystemLookup());

}  // namespace tallyrun::odbc
