#include "sqlclient/net/tcp_probe.h"

#include "platform/core/error.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallyrun::odbc {
namespace {

class Socket {
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Zero when connected, else the errno that stopped it (ETIMEDOUT when the time ran out).
int TryConnect(const addrinfo& address, std::chrono::steady_clock::time_point deadline)
{
    Socket socket(::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           address.ai_protocol));
    if (socket.Get() < 0)
        return errno;
    if (::connect(socket.Get(), address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return ETIMEDOUT;
        pollfd wait{socket.Get(), POLLOUT, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        return error;
    }
}

}  // namespace

std::optional<std::string> ProbeTcp(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout,
                                    const AddressLookup& lookup)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    const std::string service = std::to_string(port);
    AddressList addresses;
    try {
        addresses = LookUpHost(host, service, hints, timeout, lookup);
    } catch (const Error& error) {
        return error.Description();
    }

    int firstError = 0;
    for (const addrinfo* address = addresses.First(); address; address = address->ai_next) {
        const int error = TryConnect(*address, deadline);
        if (error == 0)
            return std::nullopt;
        if (firstError == 0)
            firstError = error;
    }
    const std::string where = host + " port " + service;
    if (firstError == ECONNREFUSED)
        return "The connection to " + where
               + " was refused: nothing listens there. Check that SQL Server runs and listens on that port.";
    if (firstError == ETIMEDOUT)
        return "Nothing at " + where + " answered a TCP connection.";
    return "No TCP connection could be made to " + where + " (" + std::strerror(firstError) + ").";
}

}  // namespace tallyrun::odbc
