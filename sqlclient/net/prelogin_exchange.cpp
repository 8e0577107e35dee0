#include "sqlclient/net/prelogin_exchange.h"

#include "sqlclient/net/tds_packets.h"

namespace tallyrun::odbc {
namespace {

// A PRELOGIN answer is a few dozen bytes; this leaves room for options MS-TDS may add.
constexpr std::size_t MaxAnswer = PreloginPacketSize;

constexpr std::uint8_t TlsAlert = 0x15;      // TLS record content types
constexpr std::uint8_t TlsHandshake = 0x16;

}  // namespace

PreloginReply AskPrelogin(DeadlineSocket& socket)
{
    if (!socket)
        return {};
    if (!socket.SendAll(PreloginRequest()))
        return {};
    std::vector<std::uint8_t> received;
    for (;;) {
        const auto receipt = socket.Receive(received);
        if (receipt == DeadlineSocket::Receipt::TimedOut)
            return {};
        if (receipt == DeadlineSocket::Receipt::Closed)  // before a byte, or with a TDS answer cut short
            return {received.empty() ? PreloginReply::Kind::Closed : PreloginReply::Kind::NotTds};
        if (received.front() == TlsAlert || received.front() == TlsHandshake)
            return {PreloginReply::Kind::Tls};
        if (received.front() != TabularResultPacket)
            return {PreloginReply::Kind::NotTds};
        const MessageRead read = ReadMessage(received, MaxAnswer);
        if (read.status == MessageRead::Status::Incomplete)
            continue;
        const auto fields = read.status == MessageRead::Status::Complete ? ParsePreloginAnswer(read.payload)
                                                                         : std::nullopt;
        if (!fields)
            return {PreloginReply::Kind::NotTds};
        return {PreloginReply::Kind::Answer, fields->encryption};
    }
}

}  // namespace tallyrun::odbc
