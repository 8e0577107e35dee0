#include "sqlclient/ssrp/udp_socket.h"

#include "platform/core/error.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tallyrun::ssrp {

namespace {

#ifdef _WIN32
using NativeSocket = SOCKET;
constexpr NativeSocket NoSocket = INVALID_SOCKET;
int LastError() { return WSAGetLastError(); }
void CloseNative(NativeSocket s) { closesocket(s); }
int PollOne(WSAPOLLFD* fd, int timeoutMs) { return WSAPoll(fd, 1, timeoutMs); }
using PollFd = WSAPOLLFD;
bool IsTransient(int code) { return code == WSAECONNRESET || code == WSAEMSGSIZE || code == WSAEINTR; }
constexpr int NotInherited = 0;  // sockets pass to a child only when it asks to inherit handles

class WinsockSession {
public:
    WinsockSession() { WSADATA data; m_ok = WSAStartup(MAKEWORD(2, 2), &data) == 0; }
    ~WinsockSession() { if (m_ok) WSACleanup(); }
private:
    bool m_ok = false;
};
void EnsureSockets() { static WinsockSession session; }
#else
using NativeSocket = int;
constexpr NativeSocket NoSocket = -1;
int LastError() { return errno; }
void CloseNative(NativeSocket s) { ::close(s); }
int PollOne(pollfd* fd, int timeoutMs) { return ::poll(fd, 1, timeoutMs); }
using PollFd = pollfd;
bool IsTransient(int code) { return code == ECONNREFUSED || code == EINTR || code == EAGAIN || code == EWOULDBLOCK; }
constexpr int NotInherited = SOCK_CLOEXEC;  // a program started meanwhile must not keep the socket
void EnsureSockets() {}
#endif

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
    throw Error(errc::SocketFailed, std::string(what) + ": " + SystemErrorText(code));
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

std::string SystemErrorText(int code)
{
#ifdef _WIN32
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0,
                                        nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == '.'))
        message.pop_back();
    return message;
#else
    return std::strerror(code);
#endif
}

UdpSocket::UdpSocket(Endpoint local)
{
    EnsureSockets();
    const NativeSocket s = ::socket(AF_INET, SOCK_DGRAM | NotInherited, IPPROTO_UDP);
    if (s == NoSocket)
        RaiseSocketError("Cannot create a UDP socket", LastError());
    m_handle = static_cast<Handle>(s);
    const sockaddr_in address = ToSockaddr(local);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int code = LastError();
        CloseNative(s);
        RaiseSocketError("Cannot bind a UDP socket", code);
    }
}

UdpSocket::~UdpSocket()
{
    CloseNative(static_cast<NativeSocket>(m_handle));
}

Endpoint UdpSocket::LocalEndpoint() const
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(static_cast<NativeSocket>(m_handle), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        RaiseSocketError("Cannot read a UDP socket's address", LastError());
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

void UdpSocket::AllowBroadcast()
{
    const int on = 1;
    if (::setsockopt(static_cast<NativeSocket>(m_handle), SOL_SOCKET, SO_BROADCAST,
                     reinterpret_cast<const char*>(&on), sizeof on) != 0)
        RaiseSocketError("Cannot allow broadcasts on a UDP socket", LastError());
}

int UdpSocket::SendTo(const Endpoint& to, std::span<const std::uint8_t> data) noexcept
{
    const sockaddr_in address = ToSockaddr(to);
    const auto sent = ::sendto(static_cast<NativeSocket>(m_handle), reinterpret_cast<const char*>(data.data()),
                               static_cast<int>(data.size()), 0, reinterpret_cast<const sockaddr*>(&address),
                               sizeof address);
    return sent < 0 ? LastError() : 0;
}

std::optional<UdpSocket::Datagram> UdpSocket::Receive(std::span<std::uint8_t> buffer,
                                                      std::chrono::milliseconds timeout)
{
    const auto s = static_cast<NativeSocket>(m_handle);
    PollFd fd{};
    fd.fd = s;
    fd.events = POLLIN;
    const int ready = PollOne(&fd, static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
    if (ready < 0) {
        const int code = LastError();
        if (IsTransient(code))
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
        const int code = LastError();
        if (IsTransient(code))
            return std::nullopt;
        RaiseSocketError("Cannot read from a UDP socket", code);
    }
    return Datagram{static_cast<std::size_t>(received), {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)}};
}

}  // namespace tallyrun::ssrp
