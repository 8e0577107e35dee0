#include "sqlclient/ssrp/instance_lookup.h"

#include "base/error.h"
#include "base/system_message.h"
#include "sqlclient/ssrp/protocol.h"
#include "sqlclient/ssrp/response_parser.h"
#include "sqlclient/ssrp/targets.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tallyrun::ssrp {

namespace {

using Clock = std::chrono::steady_clock;

// The request carries the name NUL-terminated in at most 32 bytes.
constexpr std::size_t MaxRequestNameBytes = 31;
// Sends within the bound, the first included; spaced a quarter of it apart, but never more than a second, so a
// lost datagram on a slow link still leaves time for a resent one.
constexpr int Sends = 4;
constexpr std::chrono::milliseconds MaxResendGap{1000};

std::vector<std::uint8_t> InstanceRequestFor(std::string_view instance)
{
    if (instance.empty() || instance.size() > MaxRequestNameBytes || instance.find('\0') != std::string_view::npos)
        throw Error(tallyrun::errc::InvalidArgument,
                    "\"" + std::string(instance) + "\" cannot be asked for as an instance name.");
    std::vector<std::uint8_t> request{InstanceRequest};
    request.insert(request.end(), instance.begin(), instance.end());
    request.push_back(0);
    return request;
}

void Send(UdpSocket& socket, const Endpoint& browser, const std::vector<std::uint8_t>& request)
{
    if (const int code = socket.SendTo(browser, request); code != 0)
        throw Error(errc::SocketFailed, "Cannot ask the SQL Server Browser at " + FormatIpv4(browser.address) +
                                            " port " + std::to_string(browser.port) + ": " + SystemMessage(code));
}

}  // namespace

std::optional<std::uint16_t> LookupInstancePort(const Endpoint& browser, std::string_view instance,
                                                std::chrono::milliseconds timeout)
{
    const auto request = InstanceRequestFor(instance);
    UdpSocket socket;
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const auto gap = std::min(std::max(timeout / Sends, std::chrono::milliseconds(1)), MaxResendGap);
    int sent = 0;
    auto nextSend = start;
    // One byte more than the largest answer, so an oversized datagram shows as too long instead of cut to fit.
    std::vector<std::uint8_t> buffer(MaxResponseBytes + 1);
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline)
            return std::nullopt;
        if (sent < Sends && now >= nextSend) {
            Send(socket, browser, request);
            ++sent;
            nextSend += gap;
        }
        const auto until = sent < Sends ? std::min(nextSend, deadline) : deadline;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        const auto datagram = socket.Receive(buffer, std::max(wait, std::chrono::milliseconds(0)));
        if (!datagram || datagram->from.address != browser.address || datagram->from.port != browser.port)
            continue;
        if (const auto port = ParseInstancePort(std::span(buffer).first(datagram->size), instance))
            return port;
    }
}

}  // namespace tallyrun::ssrp
