#include "sqlclient/ssrp/local_interfaces.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <cstddef>
#include <memory>

namespace tallyrun::ssrp {
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

}  // namespace tallyrun::ssrp
