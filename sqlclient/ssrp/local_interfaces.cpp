#include "sqlclient/ssrp/local_interfaces.h"

#include <cstddef>
#include <memory>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#else
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace tallyrun::ssrp {

#ifdef _WIN32

namespace {

std::uint32_t MaskOfPrefix(unsigned prefix)
{
    return prefix == 0 ? 0u : prefix >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - prefix)) - 1u);
}

}  // namespace

std::vector<Ipv4Interface> LocalIpv4Interfaces()
{
    constexpr ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::unique_ptr<std::byte[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The adapter list can grow between the sizing call and the real one, so try a few times.
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<std::byte[]>(size);
        result = GetAdaptersAddresses(AF_INET, flags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    std::vector<Ipv4Interface> interfaces;
    if (result != NO_ERROR)
        return interfaces;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const SOCKADDR* raw = unicast->Address.lpSockaddr;
            if (!raw || raw->sa_family != AF_INET)
                continue;
            Ipv4Interface itf;
            itf.address = ntohl(reinterpret_cast<const sockaddr_in*>(raw)->sin_addr.s_addr);
            itf.netmask = MaskOfPrefix(unicast->OnLinkPrefixLength);
            itf.up = adapter->OperStatus == IfOperStatusUp;
            itf.loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
            itf.broadcast = !itf.loopback && adapter->IfType != IF_TYPE_TUNNEL && adapter->IfType != IF_TYPE_PPP;
            interfaces.push_back(itf);
        }
    }
    return interfaces;
}

#else

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

#endif

}  // namespace tallyrun::ssrp
