// Finds why a Kerberos login could not begin, in terms an administrator can act on: no ticket, an expired one,
// a service principal the KDC does not know. Drivers only say "Unable to connect" then.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tallyrun::odbc {

// The service principal a login to host:port asks for, built as FreeTDS builds it: MSSQLSvc/<host>:<port>, a host
// without a dot replaced by its canonical name when the resolver knows one with a dot.
std::string ServicePrincipalName(const std::string& host, std::uint16_t port);

// The problem found, or none when the ticket is valid and the KDC issues one for `servicePrincipal` (when given):
// the failure lies elsewhere then. Uses the default credential cache and Kerberos configuration.
std::optional<std::string> FindKerberosProblem(const std::optional<std::string>& servicePrincipal);

}  // namespace tallyrun::odbc
