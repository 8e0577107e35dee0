// Finds why a Kerberos login could not begin, in terms an administrator can act on: no ticket, an expired one,
// a service principal the KDC does not know. Drivers only say "Unable to connect" then.
#pragma once

#include "sqlclient/net/host_lookup.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tallyrun::odbc {


// The host name in the service principal a login to `host` asks for, as the system's drivers name it: on Linux as
// FreeTDS does, a host without a dot replaced by its canonical name when the resolver knows one with a dot within
// `timeout` (an unknown name stays as typed); on Windows as typed. Raises Error(errc::HostLookupTimedOut) when the
// resolver does not answer in time.
std::string PrincipalHost(const std::string& host, std::chrono::milliseconds timeout,
                          const AddressLookup& lookup = SystemLookup());

// MSSQLSvc/<PrincipalHost>:<port>: the principal a login asks a ticket for, and the one a diagnosis names.
std::string ServicePrincipalName(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                 const AddressLookup& lookup = SystemLookup());

// The problem found, or none when the ticket is valid and the KDC issues one for `servicePrincipal` (when given):
// the failure lies elsewhere then, and the ticket stays in the cache for the driver to find. The KDC gets
// `timeout` to answer; raises Error(errc::KdcDidNotAnswer) naming the realm's KDCs when it does not. Uses the default
// credential cache and Kerberos configuration.
std::optional<std::string> FindKerberosProblem(const std::optional<std::string>& servicePrincipal,
                                               std::chrono::milliseconds timeout);

}  // namespace tallyrun::odbc
