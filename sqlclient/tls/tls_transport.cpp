#include "sqlclient/tls/tls_transport.h"

#include "sqlclient/net/tds_packets.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

// A flight of handshake records with a long certificate chain stays well inside this.
constexpr std::size_t MaxFlight = 65536;

}  // namespace

bool TlsTransport::Send(std::span<const std::uint8_t> records)
{
    if (!m_insidePrelogin)
        return m_socket.SendAll(records);
    m_pending.insert(m_pending.end(), records.begin(), records.end());
    return true;
}

bool TlsTransport::Flush()
{
    if (m_pending.empty())
        return true;
    const bool sent = m_socket.SendAll(FrameMessage(PreloginPacket, m_pending));
    m_pending.clear();
    return sent;
}

std::ptrdiff_t TlsTransport::Receive(std::span<std::uint8_t> buffer)
{
    if (!Flush())
        return -1;
    std::vector<std::uint8_t>& source = m_insidePrelogin ? m_records : m_received;
    while (source.empty()) {
        if (m_insidePrelogin) {
            const MessageRead read = ReadMessage(m_received, MaxFlight);
            if (read.status == MessageRead::Status::Malformed
                || (read.status == MessageRead::Status::Complete && read.type != PreloginPacket))
                return -1;
            if (read.status == MessageRead::Status::Complete) {
                m_records = read.payload;
                m_received.erase(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(read.used));
                continue;
            }
        }
        const auto receipt = m_socket.Receive(m_received);
        if (receipt == DeadlineSocket::Receipt::Closed)
            return 0;
        if (receipt == DeadlineSocket::Receipt::TimedOut)
            return -1;
    }
    const std::size_t size = std::min(buffer.size(), source.size());
    std::copy_n(source.begin(), size, buffer.begin());
    source.erase(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(size));
    return static_cast<std::ptrdiff_t>(size);
}

}  // namespace tallyrun::odbc
