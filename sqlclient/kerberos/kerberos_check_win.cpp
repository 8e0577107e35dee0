#include "sqlclient/kerberos/kerberos_check.h"

namespace tallyrun::odbc {

// Windows logs the user in with the account's own Kerberos credentials through SSPI, which asks the domain for
// the ticket itself; there is no credential cache to examine, and the driver's message says why a login failed.
std::string PrincipalHost(const std::string& host, std::chrono::milliseconds, const AddressLookup&)
{
    return host;
}

std::optional<std::string> FindKerberosProblem(const std::optional<std::string>&, std::chrono::milliseconds)
{
    return std::nullopt;
}

}  // namespace tallyrun::odbc
