// TDS packets as MS-TDS lays them out (2.2.3.1): a message cut into packets behind an eight-byte header, and a
// message read back from what has arrived, packet by packet to the one that ends it. Pure: no sockets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tallyrun::odbc {

inline constexpr std::size_t PacketHeaderSize = 8;
inline constexpr std::size_t PreloginPacketSize = 4096;  // the size every packet keeps until a login sets another
inline constexpr std::size_t MaxPacketSize = 32767;      // the largest a login may set

enum PacketType : std::uint8_t { TabularResultPacket = 0x04, PreloginPacket = 0x12 };

// `payload` as one message of `type`, in packets of at most `packetSize` bytes (header included), the last one
// marked as the message's end.
std::vector<std::uint8_t> FrameMessage(std::uint8_t type, std::span<const std::uint8_t> payload,
                                       std::size_t packetSize = PreloginPacketSize);

struct MessageRead {
    enum class Status {
        Incomplete,  // the packet that ends the message has not all arrived
        Complete,
        Malformed,   // a packet shorter than its header or longer than TDS allows, a packet of another type than
                     // the first, or a message longer than the caller's bound
    };
    Status status = Status::Incomplete;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;  // the packets' data joined (once Complete, all of it)
    std::size_t used = 0;               // the bytes of `received` the message took, once Complete
};

// The first message of `received`, no longer than `maxPayload` bytes of data.
MessageRead ReadMessage(std::span<const std::uint8_t> received, std::size_t maxPayload);

}  // namespace tallyrun::odbc
