#include "sqlclient/kerberos/service_ticket.h"

#include "sqlclient/kerberos/kerberos_check.h"

#include <algorithm>

namespace tallyrun::odbc {

std::string ServicePrincipalName(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                 const AddressLookup& lookup)
{
    return "MSSQLSvc/" + PrincipalHost(host, timeout, lookup) + ":" + std::to_string(port);
}

TicketPrefetch PrefetchServiceTicket(const ConnectTarget& target, const ConnectOptions& options)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto bound = target.loginTimeout.count() > 0 ? target.loginTimeout : ConnectOptions{}.loginTimeout;
    TicketPrefetch prefetch;
    prefetch.deadline = start + bound;
    prefetch.loginTimeout = target.loginTimeout;

    const ServerAddress& address = target.address;
    // A named instance's port is known only when the SQL Browser was asked before (see ResolveConnectTarget).
    if (options.sqlLogin || (!address.port && !address.instance.empty()))
        return prefetch;

    const auto left = [&] {
        return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(prefetch.deadline - Clock::now()), {});
    };
    const std::string principal = ServicePrincipalName(address.host, address.port.value_or(DefaultPort), left());
    prefetch.asked = true;
    prefetch.problem = FindKerberosProblem(principal, left());
    if (target.loginTimeout.count() > 0)
        prefetch.loginTimeout = std::max(std::chrono::ceil<std::chrono::seconds>(prefetch.deadline - Clock::now()),
                                         std::chrono::seconds(1));
    return prefetch;
}

}  // namespace tallyrun::odbc
