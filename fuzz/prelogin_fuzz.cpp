// A server's PRELOGIN answer as bytes arrive: a message is read only to the packet that ends it and never past the
// bytes given or the bound; whatever parses as an answer keeps MS-TDS's rules (its option list ended by the
// terminator, each option once, each option's data after the list and inside the payload, an ENCRYPTION value
// MS-TDS defines), and an answer one byte short of its last option's data no longer parses; any payload framed
// in packets of any size reads back whole, and not before its last byte.
#include "fuzz/property.h"
#include "sqlclient/net/prelogin_message.h"
#include "sqlclient/net/tds_packets.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

using namespace tallyrun::odbc;
using tallyrun::fuzz::Require;

namespace {

constexpr std::size_t Bound = 4096;

// The rules, read again from the bytes apart from the parser.
void CheckAnswer(std::span<const std::uint8_t> payload)
{
    const auto fields = ParsePreloginAnswer(payload);
    if (!fields)
        return;
    const std::size_t listEnd = fields->options.size() * 5;
    Require(listEnd < payload.size() && payload[listEnd] == 0xFF, "the option list ends with the terminator");
    std::set<std::uint8_t> tokens;
    std::size_t dataEnd = listEnd + 1;
    bool encryption = false;
    for (std::size_t i = 0; i < fields->options.size(); ++i) {
        const PreloginOption& option = fields->options[i];
        Require(payload[i * 5] == option.token && payload[i * 5] != 0xFF, "each option is read from its entry");
        Require(tokens.insert(option.token).second, "no option is given twice");
        Require(option.offset > listEnd && option.offset + option.length <= payload.size(),
                "an option's data lies after the list and inside the payload");
        dataEnd = std::max(dataEnd, option.offset + option.length);
        if (option.token == 0x01) {
            encryption = option.length == 1;
            Require(fields->encryption == (payload[option.offset] & 0x7F) && fields->encryption <= 3,
                    "the ENCRYPTION value is the option's byte, one MS-TDS defines");
        }
    }
    Require(encryption, "an answer has an ENCRYPTION option of one byte");
    if (dataEnd == payload.size() && dataEnd > listEnd + 1)
        Require(!ParsePreloginAnswer(payload.first(payload.size() - 1)), "an answer cut short does not parse");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const MessageRead read = ReadMessage(bytes, Bound);
    if (read.status == MessageRead::Status::Complete) {
        Require(read.used >= PacketHeaderSize && read.used <= size, "a message takes only bytes that were given");
        Require(read.payload.size() <= Bound, "a message stays within the bound");
        CheckAnswer(read.payload);
    }
    CheckAnswer(bytes);

    const std::size_t packetSize = PacketHeaderSize + 1 + (size > 0 ? data[0] * 16u : 0u);
    const auto framed = FrameMessage(TabularResultPacket, bytes, packetSize);
    const MessageRead again = ReadMessage(framed, std::max(size, Bound));
    Require(again.status == MessageRead::Status::Complete && again.used == framed.size()
                && std::ranges::equal(again.payload, bytes) && again.type == TabularResultPacket,
            "a framed payload reads back whole");
    if (framed.size() > PacketHeaderSize)
        Require(ReadMessage(std::span(framed).first(framed.size() - 1), std::max(size, Bound)).status
                    == MessageRead::Status::Incomplete,
                "a message short of its last byte is incomplete");
    return 0;
}
