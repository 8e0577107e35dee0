#include "sqlclient/net/prelogin_probe.h"

#include "platform/core/error.h"
#include "sqlclient/net/tcp_connect.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace tallyrun::odbc {
namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned char PreloginType = 0x12;  // MS-TDS packet types
constexpr unsigned char ReplyType = 0x04;
constexpr unsigned char EncryptionOption = 0x01;
constexpr unsigned char Terminator = 0xFF;
constexpr unsigned char EncryptOn = 0x01;
constexpr unsigned char EncryptNotSupported = 0x02;
constexpr std::size_t HeaderSize = 8;

// VERSION (the client's, zero) and ENCRYPTION (on), each option's offset counted from the payload's start.
constexpr std::array<unsigned char, HeaderSize + 18> Request{
    PreloginType, 0x01, 0x00, HeaderSize + 18, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x0B, 0x00, 0x06,
    EncryptionOption, 0x00, 0x11, 0x00, 0x01,
    Terminator,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    EncryptOn};

enum class Wait { Ready, TimedOut, Failed };

Wait WaitFor(net::NativeSocket socket, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Wait::TimedOut;
        net::PollEntry entry{};
        entry.fd = socket;
        entry.events = events;
        const int ready = net::PollSockets(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && net::IsInterrupted(net::LastSocketError()))
            continue;
        return ready < 0 ? Wait::Failed : ready == 0 ? Wait::TimedOut : Wait::Ready;
    }
}

// The reply's ENCRYPTION value, from the option list that starts the payload; none when the list has none.
std::optional<unsigned char> EncryptionOf(const std::string& payload)
{
    for (std::size_t at = 0; at + 5 <= payload.size() && static_cast<unsigned char>(payload[at]) != Terminator;
         at += 5) {
        const std::size_t offset = (static_cast<unsigned char>(payload[at + 1]) << 8)
                                   | static_cast<unsigned char>(payload[at + 2]);
        if (static_cast<unsigned char>(payload[at]) == EncryptionOption && offset < payload.size())
            return static_cast<unsigned char>(payload[offset]);
    }
    return std::nullopt;
}

PreloginAnswer Ask(net::NativeSocket socket, Clock::time_point deadline)
{
    std::size_t sent = 0;
    while (sent < Request.size()) {
        if (WaitFor(socket, POLLOUT, deadline) != Wait::Ready)
            return PreloginAnswer::Unknown;
        const auto n = ::send(socket, reinterpret_cast<const char*>(Request.data()) + sent,
                              static_cast<int>(Request.size() - sent), net::NoSignal);
        if (n <= 0)
            return PreloginAnswer::Closed;
        sent += static_cast<std::size_t>(n);
    }
    std::string reply;
    std::size_t expected = HeaderSize;
    while (reply.size() < expected) {
        const Wait wait = WaitFor(socket, POLLIN, deadline);
        if (wait == Wait::TimedOut)
            return PreloginAnswer::Unknown;
        char buffer[512];
        const auto n = wait == Wait::Ready ? ::recv(socket, buffer, sizeof buffer, 0) : -1;
        if (n <= 0)
            return reply.empty() || static_cast<unsigned char>(reply[0]) != ReplyType ? PreloginAnswer::Closed
                                                                                      : PreloginAnswer::Unknown;
        reply.append(buffer, static_cast<std::size_t>(n));
        // Anything but a TDS reply (a TLS alert, say) is a server that speaks TLS first.
        if (static_cast<unsigned char>(reply[0]) != ReplyType)
            return PreloginAnswer::Closed;
        if (reply.size() >= HeaderSize)
            expected = std::max<std::size_t>(HeaderSize, (static_cast<unsigned char>(reply[2]) << 8)
                                                             | static_cast<unsigned char>(reply[3]));
    }
    const auto encryption = EncryptionOf(reply.substr(HeaderSize, expected - HeaderSize));
    if (!encryption)
        return PreloginAnswer::Unknown;
    return *encryption == EncryptNotSupported ? PreloginAnswer::EncryptionNotOffered
                                              : PreloginAnswer::EncryptionOffered;
}

}  // namespace

PreloginAnswer ProbePrelogin(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                             const AddressLookup& lookup)
{
    const auto deadline = Clock::now() + timeout;
    AddressList addresses;
    try {
        addresses = StreamAddresses(host, port, timeout, lookup);
    } catch (const Error&) {
        return PreloginAnswer::Unknown;
    }
    for (const addrinfo* address = addresses.First(); address; address = address->ai_next) {
        net::OwnedSocket socket(net::NoSocket);
        if (ConnectWithin(*address, deadline, socket) == 0)
            return Ask(socket.Get(), deadline);
    }
    return PreloginAnswer::Unknown;
}

}  // namespace tallyrun::odbc
