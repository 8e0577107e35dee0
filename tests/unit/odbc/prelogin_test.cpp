// A server's PRELOGIN answer read as MS-TDS lays it out, whole byte strings in: the packets to the one that ends
// the message, and the option list with its lengths, its terminator and each option once.
#include "sqlclient/net/prelogin_message.h"
#include "sqlclient/net/tds_packets.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tallyrun::odbc {
namespace {

using Bytes = std::vector<std::uint8_t>;

// SQL Server 2019 as it answers: VERSION 15.0.2000, ENCRYPTION, INSTOPT, an empty THREADID, MARS.
const Bytes Sql2019{0x00, 0, 26, 0, 6, 0x01, 0, 32, 0, 1, 0x02, 0, 33, 0, 1, 0x03, 0, 34, 0, 0, 0x04, 0, 34, 0, 1,
                    0xFF, 15, 0, 0x07, 0xD0, 0, 0, EncryptOff, 0, 0};

Bytes With(Bytes bytes, std::size_t at, std::uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

TEST(Prelogin, AnAnswerParsesOnlyAsMsTdsLaysItOut)
{
    Bytes cut = Sql2019;
    cut.pop_back();
    const struct {
        const char* what;
        Bytes payload;
        std::optional<std::uint8_t> encryption;
    } cases[] = {
        {"SQL Server 2019", Sql2019, EncryptOff},
        {"required, with the client certificate bit", With(Sql2019, 32, 0x83), EncryptRequired},
        {"not supported", With(Sql2019, 32, EncryptNotSupported), EncryptNotSupported},
        {"an option of a later kind", {0x01, 0, 11, 0, 1, 0x09, 0, 12, 0, 3, 0xFF, EncryptOn, 1, 2, 3}, EncryptOn},
        {"an empty option at the very end", {0x01, 0, 11, 0, 1, 0x03, 0, 12, 0, 0, 0xFF, EncryptOn}, EncryptOn},
        {"a thread", {0x01, 0, 11, 0, 1, 0x03, 0, 12, 0, 4, 0xFF, EncryptOn, 1, 2, 3, 4}, EncryptOn},
        {"a nonce", [] { Bytes b{0x01, 0, 11, 0, 1, 0x07, 0, 12, 0, 32, 0xFF, EncryptOn}; b.resize(44); return b; }(),
         EncryptOn},
        {"a nonce a byte short", {0x01, 0, 11, 0, 1, 0x07, 0, 12, 0, 31, 0xFF, EncryptOn, 1}, std::nullopt},
        {"ENCRYPTION given twice", {0x01, 0, 11, 0, 1, 0x01, 0, 12, 0, 1, 0xFF, EncryptNotSupported, EncryptOn},
         std::nullopt},
        {"no terminator", {0x01, 0, 5, 0, 1, EncryptOn}, std::nullopt},
        {"an entry cut short before the terminator", {0x01, 0, 9, 0, 1, 0x04, 0, 0xFF, EncryptOn}, std::nullopt},
        {"data past the end", cut, std::nullopt},
        {"data on the terminator", {0x04, 0, 10, 0, 1, 0x01, 0, 11, 0, 1, 0xFF, EncryptOn}, std::nullopt},
        {"ENCRYPTION of two bytes", {0x01, 0, 6, 0, 2, 0xFF, EncryptOn, 0}, std::nullopt},
        {"VERSION of five bytes", With(Sql2019, 4, 5), std::nullopt},
        {"an ENCRYPTION value MS-TDS does not define", With(Sql2019, 32, 0x04), std::nullopt},
        {"no ENCRYPTION", {0x04, 0, 6, 0, 1, 0xFF, 0}, std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto fields = ParsePreloginAnswer(c.payload);
        EXPECT_EQ(fields ? std::optional(fields->encryption) : std::nullopt, c.encryption);
    }
}

TEST(Prelogin, TheRequestIsMsTdsSampleAskingForEncryptionWithNoVersionThreadOrMars)
{
    const Bytes sample{0x12, 0x01, 0x00, 0x2F, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x06, 0x01, 0x00, 0x20,
                       0x00, 0x01, 0x02, 0x00, 0x21, 0x00, 0x01, 0x03, 0x00, 0x22, 0x00, 0x04, 0x04, 0x00, 0x26, 0x00,
                       0x01, 0xFF, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xB8, 0x0D, 0x00, 0x00, 0x01};
    Bytes expected = sample;
    expected[34] = expected[42] = expected[43] = expected[46] = 0;
    EXPECT_EQ(PreloginRequest(), expected);
}

TEST(Prelogin, AMessageIsReadPacketByPacketToItsEndAndNoFurther)
{
    const Bytes twoPackets = FrameMessage(TabularResultPacket, Sql2019, 20);
    const Bytes empty{0x04, 0x01, 0, 8, 0, 0, 1, 0};
    EXPECT_EQ(FrameMessage(TabularResultPacket, {}), empty);
    EXPECT_EQ(ReadMessage(empty, 0).status, MessageRead::Status::Complete);
    // Lengths most significant byte first, packets numbered from 1.
    const Bytes large = FrameMessage(PreloginPacket, Bytes(5000, 0xAB));
    EXPECT_EQ(Bytes(large.begin(), large.begin() + 8), (Bytes{0x12, 0x00, 0x10, 0x00, 0, 0, 1, 0}));
    EXPECT_EQ(Bytes(large.begin() + 4096, large.begin() + 4104), (Bytes{0x12, 0x01, 0x03, 0x98, 0, 0, 2, 0}));
    ASSERT_EQ(twoPackets.size(), Sql2019.size() + 3 * PacketHeaderSize);
    Bytes withNext = twoPackets;
    withNext.insert(withNext.end(), {0x04, 0x01, 0, 8, 0, 0, 1, 0});
    const Bytes mixed = [&] { Bytes b = twoPackets; b[20] = PreloginPacket; return b; }();
    const struct {
        const char* what;
        Bytes received;
        std::size_t bound;
        MessageRead::Status status;
    } cases[] = {
        {"three packets, as long as the bound", twoPackets, Sql2019.size(), MessageRead::Status::Complete},
        {"and the start of the next message", withNext, 64, MessageRead::Status::Complete},
        {"its last byte missing", Bytes(twoPackets.begin(), twoPackets.end() - 1), 64,
         MessageRead::Status::Incomplete},
        {"only a header's first bytes", {0x04, 0x01, 0}, 64, MessageRead::Status::Incomplete},
        {"a packet and the next one's first bytes", Bytes(twoPackets.begin(), twoPackets.begin() + 23), 64,
         MessageRead::Status::Incomplete},
        {"the header of the longest packet", {0x04, 0x01, 0x7F, 0xFF, 0, 0, 1, 0}, 40000,
         MessageRead::Status::Incomplete},
        {"longer than the bound", twoPackets, Sql2019.size() - 1, MessageRead::Status::Malformed},
        {"a packet shorter than its header", {0x04, 0x01, 0, 7, 0, 0, 1, 0}, 64, MessageRead::Status::Malformed},
        {"a packet longer than TDS allows", {0x04, 0x01, 0x80, 0, 0, 0, 1, 0}, 64, MessageRead::Status::Malformed},
        {"a packet of another type", mixed, 64, MessageRead::Status::Malformed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MessageRead read = ReadMessage(c.received, c.bound);
        EXPECT_EQ(read.status, c.status);
        if (c.status == MessageRead::Status::Complete) {
            EXPECT_EQ(read.payload, Sql2019);
            EXPECT_EQ(read.used, twoPackets.size());
        }
    }
}

}  // namespace
}  // namespace tallyrun::odbc
