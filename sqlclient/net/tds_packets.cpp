#include "sqlclient/net/tds_packets.h"

#include <algorithm>

namespace tallyrun::odbc {
namespace {

constexpr std::uint8_t EndOfMessage = 0x01;

}  // namespace

std::vector<std::uint8_t> FrameMessage(std::uint8_t type, std::span<const std::uint8_t> payload,
                                       std::size_t packetSize)
{
    std::vector<std::uint8_t> out;
    const std::size_t room = packetSize - PacketHeaderSize;
    std::uint8_t packetId = 1;
    std::size_t at = 0;
    do {
        const std::size_t size = std::min(room, payload.size() - at);
        const std::size_t length = size + PacketHeaderSize;
        const bool last = at + size == payload.size();
        // Type, status, length (most significant byte first), SPID (none before a login), packet number, window.
        const std::uint8_t header[PacketHeaderSize] = {
            type, static_cast<std::uint8_t>(last ? EndOfMessage : 0), static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length & 0xFF), 0, 0, packetId++, 0};
        out.insert(out.end(), header, header + PacketHeaderSize);
        out.insert(out.end(), payload.begin() + static_cast<std::ptrdiff_t>(at),
                   payload.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < payload.size());
    return out;
}

MessageRead ReadMessage(std::span<const std::uint8_t> received, std::size_t maxPayload)
{
    MessageRead read;
    for (std::size_t at = 0; received.size() - at >= PacketHeaderSize;) {
        const auto header = received.subspan(at, PacketHeaderSize);
        const std::size_t length = (std::size_t{header[2]} << 8) | header[3];
        const bool sameType = at == 0 || header[0] == read.type;
        if (length < PacketHeaderSize || length > MaxPacketSize || !sameType
            || read.payload.size() + length - PacketHeaderSize > maxPayload) {
            read.status = MessageRead::Status::Malformed;
            return read;
        }
        if (received.size() - at < length)
            break;
        read.type = header[0];
        const auto data = received.subspan(at + PacketHeaderSize, length - PacketHeaderSize);
        read.payload.insert(read.payload.end(), data.begin(), data.end());
        at += length;
        if (header[1] & EndOfMessage) {
            read.status = MessageRead::Status::Complete;
            read.used = at;
            return read;
        }
    }
    return read;
}

}  // namespace tallyrun::odbc
