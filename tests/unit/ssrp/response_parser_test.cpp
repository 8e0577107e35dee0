// What one answer datagram contributes to the list, and the port it gives for one instance.
#include "sqlclient/ssrp/protocol.h"
#include "sqlclient/ssrp/response_parser.h"
#include "tests/fixtures/ssrp_responder/ssrp_responder.h"

#include <gtest/gtest.h>

namespace tallyrun::ssrp {
namespace {

using testing::RecordText;
using testing::ResponseDatagram;
using Names = std::vector<std::string>;

std::vector<std::uint8_t> Framed(const std::string& text) { return ResponseDatagram(text); }

struct Case {
    const char* what;
    std::vector<std::uint8_t> datagram;
    Names expected;
};

const std::string Host = RecordText({"HOST"});
const std::string Express = RecordText({"HOST", "SQLEXPRESS", "15.0.2000.5", false, 1433, "\\\\HOST\\pipe\\sql\\query"});

std::vector<Case> Cases()
{
    std::vector<Case> cases{
        {"one host answering for several, in its order", Framed(Express + Host + RecordText({"HOST", "Dev$2"})),
         {"HOST\\SQLEXPRESS", "HOST", "HOST\\Dev$2"}},
        {"keys in any case", Framed("servername;A;INSTANCENAME;B;isclustered;Yes;VERSION;9.0;;"), {"A\\B"}},
        {"no records at all", Framed(""), {}},
        {"another first byte", [] { auto d = Framed(Host); d[0] = 0x04; return d; }(), {}},
        {"size field larger than the data", ResponseDatagram(Host, static_cast<std::uint16_t>(Host.size() + 1)), {}},
        {"size field smaller than the data", ResponseDatagram(Host + "junk", static_cast<std::uint16_t>(Host.size())), {}},
        {"empty datagram", {}, {}},
        {"record not closed by ;;", Framed(Host.substr(0, Host.size() - 1)), {}},
        {"keys out of order", Framed("InstanceName;B;ServerName;A;IsClustered;No;Version;9.0;;"), {}},
        {"a good record does not save a broken one", Framed(Host + "ServerName;X;"), {}},
        {"trailing bytes after the last record", Framed(Host + "x"), {}},
        {"server name with a space", Framed(RecordText({"HOST X"}) + Host), {"HOST"}},
        {"server name with a NUL", Framed(RecordText({std::string("HO\0ST", 5)})), {}},
        {"server name that reads as an option", Framed(RecordText({"-Q"})), {}},
        {"instance name with a backslash", Framed(RecordText({"HOST", "A\\B"})), {}},
        {"non-ASCII name", Framed(RecordText({"H\xC3\xA9TE"})), {}},
        {"255-byte server name is kept", Framed(RecordText({std::string(255, 'a')})), {std::string(255, 'a')}},
        {"256-byte server name is dropped", Framed(RecordText({std::string(256, 'a')})), {}},
    };
    auto oversize = Framed(std::string(0xFFFF, ';'));
    oversize.push_back(';');
    cases.push_back({"datagram longer than any answer", oversize, {}});

    std::string many;
    Names first;
    for (std::size_t i = 0; i < MaxRecordsPerResponse + 5; ++i) {
        many += RecordText({"H" + std::to_string(i)});
        if (i < MaxRecordsPerResponse)
            first.push_back("H" + std::to_string(i));
    }
    cases.push_back({"names from the first records only", Framed(many), first});
    return cases;
}

TEST(ResponseParser, ReadsWhatEachDatagramAnnounces)
{
    for (const auto& c : Cases())
        EXPECT_EQ(ParseResponse(c.datagram), c.expected) << c.what;
}

TEST(ResponseParser, FindsTheAskedInstancesPortOnly)
{
    const std::string text = RecordText({"HOST", "SalesInst", "16.0", false, 50123, "\\\\HOST\\pipe\\sql\\query"});
    const std::string other = RecordText({"HOST", "OTHER", "16.0", false, 1500});
    auto withTcp = [](const std::string& port) {
        return Framed("ServerName;H;InstanceName;SALESINST;IsClustered;No;Version;16.0;tcp;" + port + ";;");
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> datagram;
        std::optional<std::uint16_t> expected;
    } cases[] = {
        {"its record, name in another case", Framed(text), 50123},
        {"only another instance", Framed(other), std::nullopt},
        {"a name it only begins with", Framed(RecordText({"HOST", "SALESINST2", "16.0", false, 1600})), std::nullopt},
        {"no tcp entry", Framed(RecordText({"HOST", "SALESINST", "16.0", false, std::nullopt, "\\\\H\\p"})),
         std::nullopt},
        {"tcp before other entries", withTcp("1433;np;\\\\H\\p"), 1433},
        {"port zero", withTcp("0"), std::nullopt},
        {"port with junk", withTcp("14x3"), std::nullopt},
        {"broken record after its own", Framed(text + "ServerName;X;"), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInstancePort(c.datagram, "salesinst"), c.expected) << c.what;
}

}  // namespace
}  // namespace tallyrun::ssrp
