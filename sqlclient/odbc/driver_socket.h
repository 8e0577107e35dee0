// Our own hold on the TCP connection the driver opened for a session: it tells a connection the server closed from
// one it reset, which the driver's records do not, and cuts the connection to end a wait the driver will not end.
#pragma once

#include "sqlclient/net/owned_socket.h"
#include "sqlclient/odbc/batch_failure.h"

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

namespace tallyrun::odbc {

// The connected TCP sockets this process has open, by inode: taken before the login, to tell the driver's socket
// after it.
std::set<std::uint64_t> OpenTcpSockets();

class DriverSocket {
public:
    DriverSocket() = default;  // none: nothing to ask or cut

    // A duplicate of the one connected TCP socket opened since `before` to `serverPort` (to any port when not
    // known); none when there is not exactly one, for example when another thread connected there meanwhile.
    static DriverSocket OpenedSince(const std::set<std::uint64_t>& before, std::optional<std::uint16_t> serverPort);

    explicit operator bool() const noexcept { return static_cast<bool>(m_socket); }
    // Closed, Reset, or Unknown (still open, or nothing to ask).
    ConnectionEnd End() const;
    // Shuts the connection down both ways: a driver call waiting on it returns at once, with the connection lost.
    void Cut() const noexcept;

private:
    explicit DriverSocket(net::OwnedSocket socket) : m_socket(std::move(socket)) {}
    net::OwnedSocket m_socket;
};

}  // namespace tallyrun::odbc
