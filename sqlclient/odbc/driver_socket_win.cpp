#include "sqlclient/odbc/driver_socket.h"

namespace tallyrun::odbc {

// Windows names no process's sockets the way Linux does under /proc, so the driver's socket is not found: a
// failed batch is then named from the driver's own records, and the driver's own query timeout applies.
std::set<std::uint64_t> OpenTcpSockets()
{
    return {};
}

DriverSocket DriverSocket::OpenedSince(const std::set<std::uint64_t>&, std::optional<std::uint16_t>)
{
    return {};
}

ConnectionEnd DriverSocket::End() const
{
    return ConnectionEnd::Unknown;
}

void DriverSocket::Cut() const noexcept {}

}  // namespace tallyrun::odbc
