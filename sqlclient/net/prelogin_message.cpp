#include "sqlclient/net/prelogin_message.h"

#include "sqlclient/net/tds_packets.h"

#include <algorithm>
#include <array>

namespace tallyrun::odbc {
namespace {

enum Token : std::uint8_t {
    Version = 0x00,
    Encryption = 0x01,
    InstanceOption = 0x02,
    ThreadId = 0x03,
    Mars = 0x04,
    FedAuthRequired = 0x06,
    Nonce = 0x07,
    Terminator = 0xFF,
};
constexpr std::size_t OptionEntrySize = 5;  // token, offset and length (both most significant byte first)

// The lengths a server's option of each kind it sends may have; a kind added later is taken at any length, as is
// TRACEID, which only a client sends.
bool LengthFits(std::uint8_t token, std::size_t length)
{
    switch (token) {
    case Version:
        return length == 6;
    case Encryption: case Mars: case FedAuthRequired:
        return length == 1;
    case InstanceOption:
        return length >= 1;
    case ThreadId:
        return length == 0 || length == 4;
    case Nonce:
        return length == 32;
    default:
        return true;
    }
}

}  // namespace

std::vector<std::uint8_t> PreloginRequest()
{
    constexpr std::array<std::uint8_t, 39> payload{
        Version, 0, 26, 0, 6,
        Encryption, 0, 32, 0, 1,
        InstanceOption, 0, 33, 0, 1,
        ThreadId, 0, 34, 0, 4,
        Mars, 0, 38, 0, 1,
        Terminator,
        0, 0, 0, 0, 0, 0,  // version
        EncryptOn,
        0,                 // the default instance
        0, 0, 0, 0,        // thread
        0};                // MARS off
    return FrameMessage(PreloginPacket, payload);
}

std::optional<PreloginAnswerFields> ParsePreloginAnswer(std::span<const std::uint8_t> payload)
{
    PreloginAnswerFields fields;
    std::size_t at = 0;
    for (; at < payload.size() && payload[at] != Terminator; at += OptionEntrySize) {
        if (payload.size() - at < OptionEntrySize)
            return std::nullopt;
        const PreloginOption option{payload[at], (std::size_t{payload[at + 1]} << 8) | payload[at + 2],
                                    (std::size_t{payload[at + 3]} << 8) | payload[at + 4]};
        const bool repeated = std::ranges::any_of(
            fields.options, [&](const PreloginOption& seen) { return seen.token == option.token; });
        if (repeated || !LengthFits(option.token, option.length))
            return std::nullopt;
        fields.options.push_back(option);
    }
    if (at == payload.size())
        return std::nullopt;  // no terminator
    const std::size_t dataStart = at + 1;
    bool encryptionGiven = false;
    for (const PreloginOption& option : fields.options) {
        if (option.offset < dataStart || option.offset > payload.size()
            || option.length > payload.size() - option.offset)
            return std::nullopt;
        if (option.token != Encryption)
            continue;
        const std::uint8_t value = payload[option.offset] & ~ClientCertificate;
        if (value > EncryptRequired)
            return std::nullopt;
        fields.encryption = value;
        encryptionGiven = true;
    }
    if (!encryptionGiven)
        return std::nullopt;
    return fields;
}

}  // namespace tallyrun::odbc
