// The stand-in browser answers a single-instance request the way a client resolving host\instance expects.
#include "platform/ssrp/udp_socket.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tallyrun::testing {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> InstanceRequest(std::string_view name)
{
    const std::string text = "\x04" + std::string(name);
    return std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);  // with the terminating NUL
}

TEST(SsrpResponder, AnswersAnInstanceRequestWithThatInstanceOnly)
{
    ResponderOptions options;
    options.instances = {{"HOST", "SQLEXPRESS", "16.0.1000.6", false, 14330}, {"HOST", "OTHER"}};
    SsrpResponder responder(options);
    ssrp::UdpSocket client({0x7F000001u, 0});
    std::vector<std::uint8_t> buffer(2048);

    client.SendTo({0x7F000001u, responder.Port()}, InstanceRequest("sqlexpress"));
    const auto answer = client.Receive(buffer, 2000ms);
    ASSERT_TRUE(answer);
    buffer.resize(answer->size);
    EXPECT_EQ(buffer, ResponseDatagram(std::vector<InstanceRecord>{options.instances.front()}));
    EXPECT_NE(std::string(buffer.begin(), buffer.end()).find(";tcp;14330;;"), std::string::npos);

    buffer.resize(2048);
    client.SendTo({0x7F000001u, responder.Port()}, InstanceRequest("MISSING"));
    EXPECT_FALSE(client.Receive(buffer, 300ms));
    EXPECT_EQ(responder.Requests().size(), 2u);
}

}  // namespace
}  // namespace tallyrun::testing
