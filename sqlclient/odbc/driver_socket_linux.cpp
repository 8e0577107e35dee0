#include "sqlclient/odbc/driver_socket.h"

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace tallyrun::odbc {
namespace {

struct OpenSocket {
    int fd;
    std::uint64_t inode;
    std::uint16_t peerPort;
};

// The port at the other end of a connected TCP socket; none for anything else.
std::optional<std::uint16_t> PeerPort(int fd)
{
    int type = 0;
    int domain = 0;
    socklen_t length = sizeof type;
    if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
        return std::nullopt;
    length = sizeof domain;
    if (::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &length) != 0 || (domain != AF_INET && domain != AF_INET6))
        return std::nullopt;
    sockaddr_storage peer{};
    length = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return std::nullopt;
    return ntohs(domain == AF_INET ? reinterpret_cast<const sockaddr_in&>(peer).sin_port
                                   : reinterpret_cast<const sockaddr_in6&>(peer).sin6_port);
}

// The process's connected TCP sockets, read from /proc/self/fd: the driver keeps its socket to itself.
std::vector<OpenSocket> ConnectedTcpSockets()
{
    std::vector<OpenSocket> sockets;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir("/proc/self/fd"), ::closedir);
    if (!directory)
        return sockets;
    while (const dirent* entry = ::readdir(directory.get())) {
        char* end = nullptr;
        const auto fd = static_cast<int>(std::strtol(entry->d_name, &end, 10));
        struct stat status {};
        if (end == entry->d_name || *end != '\0' || ::fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode))
            continue;
        if (const auto port = PeerPort(fd))
            sockets.push_back({fd, static_cast<std::uint64_t>(status.st_ino), *port});
    }
    return sockets;
}

}  // namespace

std::set<std::uint64_t> OpenTcpSockets()
{
    std::set<std::uint64_t> inodes;
    for (const OpenSocket& socket : ConnectedTcpSockets())
        inodes.insert(socket.inode);
    return inodes;
}

DriverSocket DriverSocket::OpenedSince(const std::set<std::uint64_t>& before, std::optional<std::uint16_t> serverPort)
{
    // The port tells the driver's socket from the other end of the same connection, which a server running in
    // this process (as in tests) accepts meanwhile.
    std::vector<OpenSocket> opened;
    for (const OpenSocket& socket : ConnectedTcpSockets())
        if (!before.count(socket.inode) && (!serverPort || socket.peerPort == *serverPort))
            opened.push_back(socket);
    if (opened.size() != 1)
        return {};
    return DriverSocket(net::OwnedSocket(::fcntl(opened.front().fd, F_DUPFD_CLOEXEC, 0)));
}

ConnectionEnd DriverSocket::End() const
{
    tcp_info info{};
    socklen_t length = sizeof info;
    if (!m_socket || ::getsockopt(m_socket.Get(), IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return ConnectionEnd::Unknown;
    // This duplicate keeps our end open whatever the driver does with its own, so a server's FIN leaves the
    // socket waiting for our close, while a RST leaves nothing.
    switch (info.tcpi_state) {
    case TCP_CLOSE_WAIT:
        return ConnectionEnd::Closed;
    case TCP_CLOSE:
        return ConnectionEnd::Reset;
    default:
        return ConnectionEnd::Unknown;
    }
}

void DriverSocket::Cut() const noexcept
{
    if (m_socket)
        ::shutdown(m_socket.Get(), SHUT_RDWR);
}

}  // namespace tallyrun::odbc
