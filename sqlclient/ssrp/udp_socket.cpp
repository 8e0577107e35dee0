#include "sqlclient/ssrp/udp_socket.h"

#include "base/system_message.h"

#include <algorithm>
#include <cstring>

namespace tallyrun::ssrp {

namespace {

using net::NativeSocket;

sockaddr_in ToSockaddr(const Endpoint& endpoint)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

[[noreturn]] void RaiseSocketError(const char* what, int code)
{
    throw Error(errc::SocketFailed, std::string(what) + ": " + SystemMessage(code));
}

}  // namespace

std::optional<std::uint32_t> ParseIpv4(std::string_view dotted)
{
    // inet_pton wants a terminated string and accepts only the strict dotted-quad form.
    const std::string text(dotted);
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

UdpSocket::UdpSocket(Endpoint local)
{
    net::StartSockets();
    m_socket.Reset(::socket(AF_INET, SOCK_DGRAM | net::CloseOnExec, IPPROTO_UDP));
    if (!m_socket)
        RaiseSocketError("Cannot create a UDP socket", net::LastSocketError());
    const sockaddr_in address = ToSockaddr(local);
    if (::bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        RaiseSocketError("Cannot bind a UDP socket", net::LastSocketError());
}

Endpoint UdpSocket::LocalEndpoint() const
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        RaiseSocketError("Cannot read a UDP socket's address", net::LastSocketError());
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

void UdpSocket::AllowBroadcast()
{
    const int on = 1;
    if (::setsockopt(m_socket.Get(), SOL_SOCKET, SO_BROADCAST,
                     reinterpret_cast<const char*>(&on), sizeof on) != 0)
        RaiseSocketError("Cannot allow broadcasts on a UDP socket", net::LastSocketError());
}

int UdpSocket::SendTo(const Endpoint& to, std::span<const std::uint8_t> data) noexcept
{
    const sockaddr_in address = ToSockaddr(to);
    const auto sent = ::sendto(m_socket.Get(), reinterpret_cast<const char*>(data.data()),
                               static_cast<int>(data.size()), 0, reinterpret_cast<const sockaddr*>(&address),
                               sizeof address);
    return sent < 0 ? net::LastSocketError() : 0;
}

std::optional<UdpSocket::Datagram> UdpSocket::Receive(std::span<std::uint8_t> buffer,
                                                      std::chrono::milliseconds timeout)
{
    const NativeSocket s = m_socket.Get();
    net::PollEntry fd{};
    fd.fd = s;
    fd.events = POLLIN;
    const int ready = net::PollSockets(&fd, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
    if (ready < 0) {
        const int code = net::LastSocketError();
        if (net::IsTransientDatagramError(code))
            return std::nullopt;
        RaiseSocketError("Cannot wait on a UDP socket", code);
    }
    if (ready == 0)
        return std::nullopt;

    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const auto received = ::recvfrom(s, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0) {
        const int code = net::LastSocketError();
        if (net::IsTransientDatagramError(code))
            return std::nullopt;
        RaiseSocketError("Cannot read from a UDP socket", code);
    }
    return Datagram{static_cast<std::size_t>(received), {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)}};
}

}  // namespace tallyrun::ssrp
