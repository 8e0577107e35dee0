// The SQL Server stand-in against clients we did not write (FreeTDS through osql, OpenSSL's s_client, a bare
// socket): as strict as SQL Server and no stricter, a login token over several packets in every encryption mode,
// and the servers a client must not trust (a relay, one that trickles).
#include "loopback.h"
#include "osql_command.h"
#include "prelogin.h"
#include "tds_standin.h"
#include "tds_wire.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;
using enum TdsStandIn::Encryption;

using Clock = std::chrono::steady_clock;

const std::string UsageUpdate = "DBCC UPDATEUSAGE('Sales') WITH NO_INFOMSGS, COUNT_ROWS";

// What a server sends on a fresh connection that sends `bytes`, read until it closes, `enough` bytes have come,
// or `quiet` has passed without a byte (the first may take seconds: a stand-in makes its TLS key on first use).
struct Heard {
    std::string bytes;
    bool closed = false;
    std::vector<Clock::duration> gaps;  // before each read that returned something
};

Heard Converse(std::uint16_t port, const std::string& bytes, std::size_t enough, std::chrono::milliseconds quiet)
{
    const UniqueFd socket = ConnectedToLoopback(port);
    Heard heard;
    if (!socket || ::send(socket.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
        return heard;
    for (auto last = Clock::now(); heard.bytes.size() < enough;) {
        pollfd entry{socket.Get(), POLLIN, 0};
        char buffer[4096];
        const int wait = heard.bytes.empty() ? 5000 : static_cast<int>(quiet.count());
        const ssize_t got = ::poll(&entry, 1, wait) == 1
                                ? ::recv(socket.Get(), buffer, sizeof buffer, 0) : -1;
        heard.closed = got == 0;
        if (got <= 0)
            break;
        heard.gaps.push_back(Clock::now() - std::exchange(last, Clock::now()));
        heard.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return heard;
}

std::string Prelogin(std::uint8_t encryption)
{
    const auto bytes = FrameMessage(PacketPrelogin, PreloginOptions(16, 0, encryption), 4096, 0);
    return {bytes.begin(), bytes.end()};
}

// The ENCRYPTION value of a PRELOGIN answer; its packet's header takes the first eight bytes.
std::uint8_t AnsweredEncryption(const std::string& answer)
{
    return OfferedEncryption(std::vector<std::uint8_t>(answer.begin() + 8, answer.end()));
}

std::string At(const TdsStandIn& server, char separator = ',')
{
    return "127.0.0.1" + std::string(1, separator) + std::to_string(server.Port());
}

TEST(StandIn, AnswersEveryEncryptionValueAsSqlServerSetUpEachWayDoes)
{
    // "!": the server closes the connection once it has answered.
    const std::map<std::uint8_t, std::vector<std::string>> answers = {
        //          Login      Full       None
        {0x00, {"OFF", "REQ", "NOT_SUP"}},
        {0x01, {"ON", "ON", "NOT_SUP!"}},
        {0x02, {"NOT_SUP", "REQ!", "NOT_SUP"}},
        {0x03, {"ON", "ON", "NOT_SUP!"}},
        {0x80, {"OFF", "REQ", "NOT_SUP!"}},
        {0x81, {"ON", "ON", "NOT_SUP!"}},
        {0x82, {"REQ!", "REQ!", "REQ!"}},
        {0x83, {"ON", "ON", "NOT_SUP!"}},
    };
    const char* const names[] = {"OFF", "ON", "NOT_SUP", "REQ"};
    const TdsStandIn::Encryption settings[] = {Login, Full, None};
    for (std::size_t column = 0; column < 3; ++column) {
        TdsStandIn server({.encryption = settings[column], .registerServicePrincipal = false});
        for (const auto& [offered, row] : answers) {
            SCOPED_TRACE(std::to_string(column) + ": " + std::to_string(offered));
            const Heard heard = Converse(server.Port(), Prelogin(offered), 1 << 16, 200ms);
            ASSERT_GE(heard.bytes.size(), 8u + 26 + 9);
            EXPECT_EQ(names[AnsweredEncryption(heard.bytes) & 3] + std::string(heard.closed ? "!" : ""), row[column]);
            if (settings[column] == Login && offered == EncryptOff) {
                EXPECT_EQ(heard.bytes.substr(8), std::string("\0\0\x1A\0\x06\x01\0\x20\0\x01\x02\0\x21\0\x01\x03\0\x22\0\0"
                                                             "\x04\0\x22\0\x01\xFF\x0F\0\x07\xD0\0\0\0\0\0", 35))
                    << "SQL Server 2019's answer, byte for byte";
            }
        }
    }
    // A server that takes TDS 8.0 alone says nothing to a plain PRELOGIN, and announces SQL Server 2022 in TLS.
    TdsStandIn strict({.encryption = Strict, .registerServicePrincipal = false});
    const Heard plain = Converse(strict.Port(), Prelogin(EncryptOn), 1, 0s);
    EXPECT_TRUE(plain.closed);
    EXPECT_EQ(plain.bytes, "");
    // s_client ends the connection as soon as its input does: the input stays open a second for the answer.
    const auto hello = RunChild({"sh", "-c", "{ cat; sleep 1; } | openssl s_client -quiet -no_ign_eof -connect " +
                                                 At(strict, ':')},
                                Prelogin(EncryptNotSupported), {}, 10s);
    ASSERT_GE(hello.out.size(), 8u + 26 + 9) << hello.err;
    EXPECT_EQ(hello.out.substr(34, 4), std::string("\x10\x00\x03\xE8", 4)) << "SQL Server 2022's version";
}

// LOGIN7s a server must not read past, and one whose last field ends where the record does.
TEST(StandIn, ClosesTheConnectionOnALogin7ThatDoesNotHoldTogether)
{
    const auto login7 = [](std::uint32_t length, std::uint32_t version, std::uint16_t hostAt, std::uint16_t hostSize) {
        std::vector<std::uint8_t> record(98, 0);
        for (int k = 0; k < 4; ++k) {
            record[k] = static_cast<std::uint8_t>(length >> (8 * k));
            record[4 + k] = static_cast<std::uint8_t>(version >> (8 * k));
        }
        record[36] = static_cast<std::uint8_t>(hostAt);
        record[38] = static_cast<std::uint8_t>(hostSize);
        const auto bytes = FrameMessage(PacketLogin7, record, 4096, 0);
        return Prelogin(EncryptNotSupported) + std::string(bytes.begin(), bytes.end());
    };
    const std::pair<std::string, bool> logins[] = {
        {login7(98, 0x74000004, 94, 2), true},   // refused for want of a Kerberos token, with error 18456
        {login7(93, 0x74000004, 0, 0), false},   // shorter than LOGIN7's fixed part
        {login7(99, 0x74000004, 0, 0), false},   // longer than the message
        {login7(98, 0x730B0003, 0, 0), false},   // TDS 7.3
        {login7(98, 0x74000004, 94, 3), false},  // a host name past the end
    };
    TdsStandIn server({.encryption = None, .registerServicePrincipal = false});
    for (const auto& [bytes, answered] : logins) {
        const Heard heard = Converse(server.Port(), bytes, 1 << 16, 5s);
        EXPECT_TRUE(heard.closed);
        EXPECT_EQ(heard.bytes.find(std::string("\x18\x48\0\0", 4)) != std::string::npos, answered);
    }
}

// MS-TDS: a TDS 8.0 server takes a client that offers no protocol as one speaking TDS 8.0; RFC 7301 has it refuse
// one that offers only others.
TEST(StandIn, StrictTakesTls12And13WithOrWithoutAlpnAndRefusesOtherProtocolsAndOldTls)
{
    struct Case {
        bool tls10Only;
        std::vector<std::string> options;
        std::string outcome;  // in s_client's words
    };
    const Case cases[] = {
        {false, {"-tls1_2"}, "New, TLSv1.2,"},
        {false, {"-tls1_3"}, "New, TLSv1.3,"},
        {false, {"-tls1_3", "-alpn", "tds/8.0"}, "ALPN protocol: tds/8.0"},
        {false, {"-alpn", "h2,http/1.1"}, "no application protocol"},
        {false, {"-tls1", "-cipher", "DEFAULT:@SECLEVEL=0"}, "Cipher is (NONE)"},
        {true, {"-tls1_2"}, "Cipher is (NONE)"},
        {true, {"-tls1", "-cipher", "DEFAULT:@SECLEVEL=0"}, "New, TLSv1.0, Cipher"},
    };
    for (const auto& [tls10Only, options, outcome] : cases) {
        SCOPED_TRACE(options.front() + (tls10Only ? " against TLS 1.0 alone" : ""));
        TdsStandIn server({.encryption = Strict, .registerServicePrincipal = false, .tls10Only = tls10Only});
        std::vector<std::string> argv = {"openssl", "s_client", "-connect", At(server, ':')};
        argv.insert(argv.end(), options.begin(), options.end());
        const auto run = RunChild(argv, {}, {}, 10s);
        EXPECT_NE((run.out + run.err).find(outcome), std::string::npos) << run.out << run.err;
    }
}

TEST(StandIn, TricklesEachByteAloneAtItsInterval)
{
    TdsStandIn trickling({.registerServicePrincipal = false, .trickle = 150ms});
    const Heard slow = Converse(trickling.Port(), Prelogin(EncryptOn), 5, 1s);
    EXPECT_EQ(slow.bytes, std::string("\x04\x01\x00\x2B\x00", 5)) << "a PRELOGIN answer's first bytes";
    ASSERT_EQ(slow.gaps.size(), 5u) << "one byte a read";
    for (std::size_t k = 1; k < slow.gaps.size(); ++k)
        EXPECT_GE(slow.gaps[k], 140ms);
}

// A token as large as Active Directory's for a user in many groups takes LOGIN7 over several packets: under
// login-only encryption the first comes in TLS and the rest in clear; otherwise all of it in TLS.
TEST(OsqlLogin, OverSeveralPacketsArrivesAsEachEncryptionModeCarriesItAndIsRecordedAsItCame)
{
    const std::string bigTicket = std::string("KRB5CCNAME=FILE:") + std::getenv("TALLYRUN_TEST_KDC_DIR") + "/ccache-big";
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::pair<TdsStandIn::Encryption, std::string> cases[] = {{Login, "m"}, {Login, "o"}, {Full, "o"}};
    for (const auto& [encryption, mode] : cases) {
        SCOPED_TRACE(mode);
        TdsStandIn server({.encryption = encryption});
        const auto run =
            RunOsql({"-S", At(server), "-E", "-b", "-N", mode, "-Q", UsageUpdate}, {bigTicket});
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        EXPECT_EQ(server.Batches(), std::vector<std::string>{UsageUpdate});
        ASSERT_EQ(server.Logins().size(), 1u);
        const LoginRecord login = server.Logins().front();
        const bool loginOnly = encryption == Login && mode == "o";
        EXPECT_GE(login.packets, 3);
        EXPECT_EQ(login.encryptedPackets, loginOnly ? 1 : login.packets);
        EXPECT_EQ(server.InClear(), loginOnly ? 2 : 0);  // the login's later packets, and the batch
        EXPECT_EQ(login.tdsVersion, 0x74000004u);
        EXPECT_EQ(login.hostName, host);
        EXPECT_EQ(login.userName, "");  // Kerberos names the user in its token
        EXPECT_EQ(login.appName, "osql");
        EXPECT_EQ(login.database, "");  // the login's own: osql names a database only once logged in
    }
    TdsStandIn server({.registerServicePrincipal = false});
    EXPECT_EQ(RunOsql({"-S", At(server), "-U", "sa", "-P", "secret", "-Q", UsageUpdate}).exitStatus, 1);
    EXPECT_EQ(server.Logins().at(0).userName, "sa");
}

}  // namespace
}  // namespace tallyrun::testing
