// The path a TLS handshake's records take to SQL Server: inside PRELOGIN messages in TDS 7.x, straight on the wire
// in TDS 8.0 (strict). Every wait is bounded by the connection's deadline.
#pragma once

#include "sqlclient/net/deadline_socket.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tallyrun::odbc {

class TlsTransport {
public:
    TlsTransport(DeadlineSocket& socket, bool insidePrelogin) : m_socket(socket), m_insidePrelogin(insidePrelogin) {}

    // Inside PRELOGIN the records wait for Flush or the next Receive: a flight travels as one message, as SQL
    // Server expects it.
    bool Send(std::span<const std::uint8_t> records);
    bool Flush();
    // Up to `buffer`'s size of the server's records; 0 once the server closed, -1 when the time ran out, the
    // socket failed or the server sent anything but PRELOGIN packets where they were due.
    std::ptrdiff_t Receive(std::span<std::uint8_t> buffer);

    std::chrono::steady_clock::time_point Deadline() const noexcept { return m_socket.Deadline(); }

private:
    DeadlineSocket& m_socket;
    bool m_insidePrelogin;
    std::vector<std::uint8_t> m_pending;   // records not sent yet
    std::vector<std::uint8_t> m_received;  // bytes from the socket not yet taken apart
    std::vector<std::uint8_t> m_records;   // the server's records not yet handed out
};

}  // namespace tallyrun::odbc
