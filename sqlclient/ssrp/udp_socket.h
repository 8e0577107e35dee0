// An IPv4 UDP socket with the few operations the listing (and its test responder) needs; owns the system handle.
#pragma once

#include "sqlclient/net/owned_socket.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tallyrun::ssrp {

// Address and port in host byte order.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

std::optional<std::uint32_t> ParseIpv4(std::string_view dotted);

class UdpSocket {
public:
    // Bound to `local` (any address and a free port by default). Raises Error(errc::SocketFailed) on failure.
    explicit UdpSocket(Endpoint local = {});

    Endpoint LocalEndpoint() const;
    void AllowBroadcast();

    // 0 once the datagram has left, otherwise the system's error code.
    int SendTo(const Endpoint& to, std::span<const std::uint8_t> data) noexcept;

    struct Datagram {
        std::size_t size;
        Endpoint from;
    };
    // Waits up to `timeout` for one datagram. Nothing when none came, or when the system reported a
    // per-datagram fault (a port-unreachable echo, a datagram too big for `buffer`), so callers just go on
    // waiting. Raises Error(errc::SocketFailed) when the socket itself fails.
    std::optional<Datagram> Receive(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout);

private:
    net::OwnedSocket m_socket;
};

}  // namespace tallyrun::ssrp
