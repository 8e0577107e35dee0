#include "sqlclient/ssrp/listing.h"

#include "base/error.h"
#include "base/system_message.h"
#include "sqlclient/ssrp/instance_names.h"
#include "sqlclient/ssrp/response_parser.h"
#include "sqlclient/ssrp/udp_socket.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace tallyrun::ssrp {

namespace {

using Clock = std::chrono::steady_clock;

// Sends every request; returns how many left, and the text of the last failure for when none did.
std::size_t SendRequests(UdpSocket& socket, const Targets& targets, std::string& lastFailure)
{
    std::size_t sent = 0;
    for (const auto& target : targets.targets) {
        const auto address = ParseIpv4(target.address);
        if (!address) {
            lastFailure = "\"" + target.address + "\" is not an IPv4 address";
            continue;
        }
        const std::array<std::uint8_t, 1> request{static_cast<std::uint8_t>(target.request)};
        const int code = socket.SendTo({*address, target.port.value_or(targets.port)}, request);
        if (code != 0) {
            lastFailure = target.address + ": " + SystemMessage(code);
            continue;
        }
        ++sent;
    }
    return sent;
}

}  // namespace

std::vector<std::string> ListInstances(const Targets& targets)
{
    UdpSocket socket;
    const bool broadcasts = std::any_of(targets.targets.begin(), targets.targets.end(),
                                        [](const Target& t) { return t.request == ListRequest::BroadcastEx; });
    if (broadcasts)
        socket.AllowBroadcast();

    std::string lastFailure = "no address to ask";
    const auto start = Clock::now();
    if (SendRequests(socket, targets, lastFailure) == 0)
        throw Error(errc::NoTargetReached, "Cannot look for SQL Servers on the network (" + lastFailure + ").");

    const auto& timing = targets.timing;
    const auto cap = start + timing.hardCap;
    auto deadline = std::min(start + timing.firstAnswer, cap);
    NameCollector names(MaxListedNames);
    // One byte more than the largest answer, so an oversized datagram shows as too long instead of cut to fit.
    std::vector<std::uint8_t> buffer(MaxResponseBytes + 1);
    while (!names.Full()) {
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        const auto datagram = socket.Receive(buffer, wait);
        if (!datagram)
            continue;
        const auto announced = ParseResponse(std::span(buffer).first(datagram->size));
        if (announced.empty())
            continue;
        for (const auto& name : announced)
            names.Add(name);
        deadline = std::min(Clock::now() + timing.quiet, cap);
    }
    return names.TakeNames();
}

}  // namespace tallyrun::ssrp
