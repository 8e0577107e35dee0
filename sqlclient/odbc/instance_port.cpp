#include "sqlclient/odbc/instance_port.h"

#include "platform/core/error.h"
#include "sqlclient/odbc/connect_options.h"
#include "sqlclient/odbc/driver_profile.h"
#include "sqlclient/net/seconds_text.h"
#include "sqlclient/ssrp/instance_lookup.h"

#include "system_sockets.h"

#include <algorithm>
#include <string>

namespace tallyrun::odbc {
namespace {

using Clock = std::chrono::steady_clock;

// The browser speaks IPv4 only; the first address the resolver gives is the one a driver would try first.
std::uint32_t Ipv4AddressOf(const std::string& host, std::chrono::milliseconds timeout, const AddressLookup& lookup)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    try {
        const AddressList list = LookUpHost(host, {}, hints, timeout, lookup);
        return ntohl(reinterpret_cast<const sockaddr_in*>(list.First()->ai_addr)->sin_addr.s_addr);
    } catch (const Error& error) {
        throw Error(error.Number(), error.Description() + " Its SQL Server Browser, which knows the port of instance"
                                        " names, cannot be asked without an IPv4 address.");
    }
}

}  // namespace

ConnectTarget ResolveConnectTarget(DriverKind kind, const ServerAddress& address, std::chrono::seconds loginTimeout,
                                   std::uint16_t browserPort, const AddressLookup& lookup)
{
    if (!ProfileOf(kind).asksBrowserFirst || address.instance.empty() || address.port)
        return {address, loginTimeout};

    const auto start = Clock::now();
    const auto bound = loginTimeout.count() > 0 ? loginTimeout : ConnectOptions{}.loginTimeout;
    const ssrp::Endpoint browser{Ipv4AddressOf(address.host, bound, lookup), browserPort};
    const auto browserTime = std::chrono::duration_cast<std::chrono::milliseconds>(bound - (Clock::now() - start));
    const auto port = ssrp::LookupInstancePort(browser, address.instance, std::max(browserTime, {}));
    if (!port)
        throw Error(errc::InstanceNotFound,
                    "The SQL Server Browser on " + address.host + " did not name an instance " + address.instance
                        + " (no answer within " + SecondsText(bound) + "). Check the instance name, that the instance "
                        "and the SQL Server Browser service run there and that UDP port " + std::to_string(browserPort)
                        + " reaches the host, or give the instance's port as host,port.");

    ConnectTarget target{address, loginTimeout};
    target.address.port = port;
    if (loginTimeout.count() > 0) {
        const auto left = std::chrono::ceil<std::chrono::seconds>(loginTimeout - (Clock::now() - start));
        target.loginTimeout = std::max(left, std::chrono::seconds(1));
    }
    return target;
}

}  // namespace tallyrun::odbc
