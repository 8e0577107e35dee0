// Where an instance listing sends its requests and how long it waits for answers. The programme uses
// DefaultTargets(); everything else (tests, benchmarks) builds its own.
#pragma once

#include "sqlclient/ssrp/protocol.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallyrun::ssrp {

struct Target {
    std::string address;                // dotted IPv4; one that does not parse counts as a failed send
    ListRequest request;
    std::optional<std::uint16_t> port;  // when unset, the listing's port
};

// The listing stops `quiet` after the last answer, or `firstAnswer` after sending when nothing has answered,
// and in any case `hardCap` after sending. Measured by the listing benchmark: answers from a hundred loopback
// browsers all arrive within 6 ms of the requests (40 ms with both cores busy), never more than 5 ms apart. The
// quiet window leaves some fifty times that gap for LAN, Wi-Fi and VPN round trips; a host that needs more than a
// second for the first answer is too slow to wait for; the cap bounds how long a stream of answers can hold the
// user-interface thread.
struct Timing {
    std::chrono::milliseconds firstAnswer{1000};
    std::chrono::milliseconds quiet{250};
    std::chrono::milliseconds hardCap{3000};
};

struct Targets {
    std::vector<Target> targets;
    std::uint16_t port = BrowserPort;
    Timing timing;
};

// One IPv4 address of a network interface; addresses in host byte order.
struct Ipv4Interface {
    std::uint32_t address = 0;
    std::uint32_t netmask = 0;
    bool up = false;
    bool loopback = false;
    bool broadcast = false;  // the link can broadcast
};

// The limited broadcast address, the broadcast address of every usable interface (each once), then the local
// host by unicast, all on the browser port.
Targets TargetsForInterfaces(const std::vector<Ipv4Interface>& interfaces);

// TargetsForInterfaces over this computer's interfaces.
Targets DefaultTargets();

std::string FormatIpv4(std::uint32_t address);

}  // namespace tallyrun::ssrp
