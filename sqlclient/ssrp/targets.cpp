#include "sqlclient/ssrp/targets.h"

#include "sqlclient/ssrp/local_interfaces.h"

#include <algorithm>

namespace tallyrun::ssrp {

namespace {

constexpr std::uint32_t LimitedBroadcast = 0xFFFFFFFFu;
constexpr std::uint32_t LocalHost = 0x7F000001u;

// A /31 or /32 link has no broadcast address, and a zero mask would be the limited broadcast again.
bool HasSubnetBroadcast(const Ipv4Interface& itf)
{
    return itf.up && !itf.loopback && itf.broadcast && itf.netmask != 0 && itf.netmask < 0xFFFFFFFEu;
}

}  // namespace

std::string FormatIpv4(std::uint32_t address)
{
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
           std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

Targets TargetsForInterfaces(const std::vector<Ipv4Interface>& interfaces)
{
    std::vector<std::uint32_t> broadcasts{LimitedBroadcast};
    for (const auto& itf : interfaces) {
        if (!HasSubnetBroadcast(itf))
            continue;
        const std::uint32_t broadcast = itf.address | ~itf.netmask;
        if (std::find(broadcasts.begin(), broadcasts.end(), broadcast) == broadcasts.end())
            broadcasts.push_back(broadcast);
    }

    Targets targets;
    for (const auto address : broadcasts)
        targets.targets.push_back({FormatIpv4(address), ListRequest::BroadcastEx, std::nullopt});
    targets.targets.push_back({FormatIpv4(LocalHost), ListRequest::UnicastEx, std::nullopt});
    return targets;
}

Targets DefaultTargets()
{
    return TargetsForInterfaces(LocalIpv4Interfaces());
}

}  // namespace tallyrun::ssrp
