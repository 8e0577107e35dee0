// Which addresses the programme's own listing asks, computed from an interface list; nothing is sent here.
#include "sqlclient/ssrp/targets.h"

#include <gtest/gtest.h>

namespace tallyrun::ssrp {
namespace {

std::vector<std::string> Addresses(const Targets& targets)
{
    std::vector<std::string> addresses;
    for (const auto& t : targets.targets)
        addresses.push_back(t.address);
    return addresses;
}

Ipv4Interface Lan(std::uint32_t address, std::uint32_t netmask)
{
    return {address, netmask, true, false, true};
}

TEST(DefaultTargets, BroadcastsOnEveryUsableSubnetAndAsksTheLocalHost)
{
    Ipv4Interface down = Lan(0x0A000005u, 0xFF000000u);
    down.up = false;
    Ipv4Interface pointToPoint = Lan(0x0A080001u, 0xFFFFFF00u);
    pointToPoint.broadcast = false;
    const std::vector<Ipv4Interface> interfaces{
        {0x7F000001u, 0xFF000000u, true, true, false},  // loopback
        Lan(0xC0000202u, 0xFFFFFF00u),                  // 192.0.2.2/24
        Lan(0xC6336410u, 0xFFFFFFF0u),                  // 198.51.100.16/28
        Lan(0xCB007101u, 0xFFFFFFFFu),                  // /32: no broadcast address
        down,
        pointToPoint,
    };

    const Targets targets = TargetsForInterfaces(interfaces);

    EXPECT_EQ(Addresses(targets),
              (std::vector<std::string>{"255.255.255.255", "192.0.2.255", "198.51.100.31", "127.0.0.1"}));
    for (std::size_t i = 0; i + 1 < targets.targets.size(); ++i)
        EXPECT_EQ(targets.targets[i].request, ListRequest::BroadcastEx) << targets.targets[i].address;
    EXPECT_EQ(targets.targets.back().request, ListRequest::UnicastEx);
    EXPECT_EQ(targets.port, 1434);
}

}  // namespace
}  // namespace tallyrun::ssrp
