// The stand-in at the byte level, where no driver can steer it: requests cut anywhere by TCP or spread over several
// packets, the server name with the NUL FreeTDS puts between host and port, and logins without a valid Kerberos
// token.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <gssapi/gssapi.h>
#include <gssapi/gssapi_krb5.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "tds_standin.h"
#include "tds_wire.h"
#include "socket_io.h"
#include "utf16.h"

namespace tallyrun::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t LoginAckToken = 0xAD;
constexpr std::uint8_t ErrorToken = 0xAA;
constexpr std::uint8_t SspiToken = 0xED;
constexpr std::uint8_t DoneToken = 0xFD;

void PutUShort(Bytes& out, std::size_t at, std::size_t value)
{
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutULong(Bytes& out, std::size_t at, std::size_t value)
{
    PutUShort(out, at, value & 0xFFFF);
    PutUShort(out, at + 2, value >> 16);
}

// The options every client sends: its version and that it will not encrypt.
Bytes Prelogin()
{
    return {0x00, 0x00, 0x0B, 0x00, 0x06, 0x01, 0x00, 0x11, 0x00, 0x01, 0xFF, 7, 0, 0, 0, 0, 0, 0x00};
}

Bytes Login7(const std::string& serverName, const Bytes& sspi)
{
    constexpr std::size_t fixed = 94;
    Bytes record(fixed, 0);
    Bytes data;
    const auto text = [&](std::size_t at, const std::string& value) {
        const Bytes utf16 = Utf8ToUtf16Le(value);
        PutUShort(record, at, fixed + data.size());
        PutUShort(record, at + 2, utf16.size() / 2);
        data.insert(data.end(), utf16.begin(), utf16.end());
    };
    PutULong(record, 4, 0x74000004);
    PutULong(record, 8, 4096);
    record[25] = 0x80 | 0x02;  // integrated security, ODBC client
    text(36, "raw-host");
    text(48, "raw-client");
    text(52, serverName);
    text(60, "raw-client");
    PutUShort(record, 78, fixed + data.size());
    PutUShort(record, 80, sspi.size());
    data.insert(data.end(), sspi.begin(), sspi.end());
    record.insert(record.end(), data.begin(), data.end());
    PutULong(record, 0, record.size());
    return record;
}

// The first Kerberos token for the stand-in's service, made from the test user's ticket.
Bytes KerberosToken(std::uint16_t port)
{
    std::string service = "MSSQLSvc/127.0.0.1:" + std::to_string(port);
    gss_buffer_desc name = {service.size(), service.data()};
    OM_uint32 minor = 0;
    gss_name_t target = GSS_C_NO_NAME;
    EXPECT_EQ(gss_import_name(&minor, &name, GSS_KRB5_NT_PRINCIPAL_NAME, &target), GSS_S_COMPLETE);
    gss_ctx_id_t context = GSS_C_NO_CONTEXT;
    gss_buffer_desc token = GSS_C_EMPTY_BUFFER;
    const OM_uint32 major = gss_init_sec_context(&minor, GSS_C_NO_CREDENTIAL, &context, target, GSS_C_NO_OID,
                                                 GSS_C_MUTUAL_FLAG, 0, GSS_C_NO_CHANNEL_BINDINGS, GSS_C_NO_BUFFER,
                                                 nullptr, &token, nullptr, nullptr);
    EXPECT_FALSE(GSS_ERROR(major)) << "no ticket for " << service;
    Bytes bytes(static_cast<std::uint8_t*>(token.value), static_cast<std::uint8_t*>(token.value) + token.length);
    gss_release_buffer(&minor, &token);
    gss_delete_sec_context(&minor, &context, GSS_C_NO_BUFFER);
    gss_release_name(&minor, &target);
    return bytes;
}

struct Token {
    std::uint8_t type;
    std::size_t at;
};

// Splits a login or batch answer into its tokens; fails on any token those answers never hold.
std::vector<Token> Tokens(const Bytes& payload)
{
    std::vector<Token> tokens;
    for (std::size_t at = 0; at < payload.size();) {
        const std::uint8_t type = payload[at];
        tokens.push_back({type, at});
        if (type == DoneToken) {
            at += 13;
        } else if (type == ErrorToken || type == 0xAB || type == LoginAckToken || type == 0xE3 || type == SspiToken) {
            at += 3 + (payload[at + 1] | (payload[at + 2] << 8));
        } else {
            ADD_FAILURE() << "unexpected token " << int(type) << " at " << at;
            break;
        }
    }
    return tokens;
}

std::uint16_t DoneStatus(const Bytes& payload, const Token& done)
{
    return static_cast<std::uint16_t>(payload[done.at + 1] | (payload[done.at + 2] << 8));
}

class Connection {
public:
    explicit Connection(std::uint16_t port) : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const int on = 1;
        ::setsockopt(m_socket.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const timeval limit = {10, 0};
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        EXPECT_EQ(::connect(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }

    // Sends the message in packets of `packetSize`, and those bytes in TCP segments of `segment` bytes, pausing
    // between segments so that the server's reads see them one by one.
    void Send(std::uint8_t type, const Bytes& payload, std::size_t packetSize = 4096, std::size_t segment = 0)
    {
        const Bytes bytes = FrameMessage(type, payload, packetSize, 0);
        const std::size_t step = segment == 0 ? bytes.size() : segment;
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            const std::size_t size = std::min(step, bytes.size() - at);
            ASSERT_EQ(::send(m_socket.Get(), bytes.data() + at, size, MSG_NOSIGNAL), ssize_t(size));
            if (segment != 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    Message Receive()
    {
        for (;;) {
            if (auto message = m_reader.Next())
                return *message;
            std::uint8_t buffer[4096];
            const ssize_t got = ::recv(m_socket.Get(), buffer, sizeof buffer, 0);
            if (got <= 0) {
                ADD_FAILURE() << "connection closed or silent before a whole answer arrived";
                return {};
            }
            m_reader.Feed(buffer, static_cast<std::size_t>(got));
        }
    }

    bool ClosedByServer()
    {
        std::uint8_t byte = 0;
        return ::recv(m_socket.Get(), &byte, 1, 0) == 0;
    }

private:
    UniqueFd m_socket;
    MessageReader m_reader;
};

TEST(StandInProtocol, ReassemblesRequestsCutIntoPacketsAndSegments)
{
    TdsStandIn standIn;
    Connection client(standIn.Port());

    client.Send(packet::Prelogin, Prelogin(), 4096, 3);
    const Message prelogin = client.Receive();
    EXPECT_EQ(prelogin.type, packet::TabularResult);
    // The ENCRYPTION option is second in the list: its offset, then "not supported".
    ASSERT_GE(prelogin.payload.size(), 10u);
    ASSERT_EQ(prelogin.payload[5], 0x01);
    EXPECT_EQ(prelogin.payload.at((prelogin.payload[6] << 8) | prelogin.payload[7]), 0x02);

    std::string serverName = "127.0.0.1";
    serverName += '\0';
    serverName += std::to_string(standIn.Port());
    client.Send(packet::Login7, Login7(serverName, KerberosToken(standIn.Port())), 64, 7);
    const Message login = client.Receive();
    const std::vector<Token> tokens = Tokens(login.payload);
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(tokens.front().type, SspiToken) << "mutual authentication needs the service's answer";
    EXPECT_EQ(std::count_if(tokens.begin(), tokens.end(), [](const Token& t) { return t.type == LoginAckToken; }),
              1);
    EXPECT_EQ(tokens.back().type, DoneToken);
    EXPECT_EQ(DoneStatus(login.payload, tokens.back()), 0);

    const std::string sql = "SELECT name FROM sys.databases -- \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80";
    Bytes batch = {22, 0, 0, 0, 18, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};  // transaction header
    const Bytes text = Utf8ToUtf16Le(sql);
    batch.insert(batch.end(), text.begin(), text.end());
    client.Send(packet::SqlBatch, batch, 48, 5);
    EXPECT_EQ(client.Receive().type, packet::TabularResult);
    EXPECT_EQ(standIn.Batches(), std::vector<std::string>{sql});
    EXPECT_EQ(standIn.SuccessfulLogins(), 1);
}

TEST(StandInProtocol, RefusesIntegratedLoginsWithoutAValidToken)
{
    TdsStandIn standIn;
    for (const Bytes& token : {Bytes{}, Bytes{0x60, 0x03, 0x06, 0x01, 0x00}}) {
        SCOPED_TRACE(token.size());
        Connection client(standIn.Port());
        client.Send(packet::Prelogin, Prelogin());
        client.Receive();
        client.Send(packet::Login7, Login7("127.0.0.1", token));
        const Message refusal = client.Receive();
        const std::vector<Token> tokens = Tokens(refusal.payload);
        ASSERT_EQ(tokens.size(), 2u);
        EXPECT_EQ(tokens.front().type, ErrorToken);
        const std::size_t number = tokens.front().at + 3;
        EXPECT_EQ(refusal.payload[number] | (refusal.payload[number + 1] << 8), 18456);
        EXPECT_EQ(tokens.back().type, DoneToken);
        EXPECT_TRUE(DoneStatus(refusal.payload, tokens.back()) & 0x02);
        EXPECT_TRUE(client.ClosedByServer());
    }
    EXPECT_EQ(standIn.RefusedLogins(), 2);
    EXPECT_EQ(standIn.SuccessfulLogins(), 0);
}

}  // namespace
}  // namespace tallyrun::testing
