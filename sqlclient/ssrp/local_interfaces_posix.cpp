#include "sqlclient/ssrp/local_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

namespace tallyrun::ssrp {
namespace {

struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const noexcept { freeifaddrs(list); }
};

}  // namespace

std::vector<Ipv4Interface> LocalIpv4Interfaces()
{
    std::vector<Ipv4Interface> interfaces;
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0)
        return interfaces;
    const std::unique_ptr<ifaddrs, IfAddrsDeleter> list(raw);
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask)
            continue;
        Ipv4Interface itf;
        itf.address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        itf.netmask = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
        itf.up = (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING);
        itf.loopback = entry->ifa_flags & IFF_LOOPBACK;
        itf.broadcast = entry->ifa_flags & IFF_BROADCAST;
        interfaces.push_back(itf);
    }
    return interfaces;
}

}  // namespace tallyrun::ssrp
