#include "platform/odbc/instance_port.h"

#include "platform/core/error.h"
#include "platform/odbc/connect_options.h"
#include "platform/ssrp/instance_lookup.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <string>

namespace tallyrun::odbc {
namespace {

using Clock = std::chrono::steady_clock;

struct AddressListDeleter {
    void operator()(addrinfo* list) const noexcept { freeaddrinfo(list); }
};

// The browser speaks IPv4 only; the first address the resolver gives is the one a driver would try first.
std::uint32_t Ipv4AddressOf(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* raw = nullptr;
    if (const int code = getaddrinfo(host.c_str(), nullptr, &hints, &raw))
        throw Error(HostNotFound, "The host name " + host + " could not be resolved to an IPv4 address ("
                                      + gai_strerror(code) + "), so its SQL Server Browser cannot be asked for an "
                                      "instance's port.");
    const std::unique_ptr<addrinfo, AddressListDeleter> list(raw);
    return ntohl(reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr);
}

std::string Seconds(std::chrono::seconds value)
{
    return std::to_string(value.count()) + (value.count() == 1 ? " second" : " seconds");
}

}  // namespace

ConnectTarget ResolveConnectTarget(DriverKind kind, const ServerAddress& address, std::chrono::seconds loginTimeout,
                                   std::uint16_t browserPort)
{
    if (kind != DriverKind::FreeTds || address.instance.empty() || address.port)
        return {address, loginTimeout};

    const auto start = Clock::now();
    const auto bound = loginTimeout.count() > 0 ? loginTimeout : ConnectOptions{}.loginTimeout;
    const ssrp::Endpoint browser{Ipv4AddressOf(address.host), browserPort};
    const auto port = ssrp::LookupInstancePort(browser, address.instance, bound);
    if (!port)
        throw Error(InstanceNotFound,
                    "The SQL Server Browser on " + address.host + " did not name an instance " + address.instance
                        + " (no answer within " + Seconds(bound) + "). Check the instance name, that the instance "
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
