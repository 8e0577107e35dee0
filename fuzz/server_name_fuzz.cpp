// Server names: any text is either refused with InvalidArgument or parsed into parts that are each well formed,
// and the name written back from those parts (with or without the tcp: prefix) parses into the same parts.
#include "fuzz/property.h"
#include "base/error.h"
#include "sqlclient/odbc/server_name.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace tallyrun;
using namespace tallyrun::odbc;
using fuzz::Require;

namespace {

std::string Written(const ServerAddress& address)
{
    std::string name = address.host;
    if (!address.instance.empty())
        name += "\\" + address.instance;
    if (address.port)
        name += "," + std::to_string(*address.port);
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ServerAddress address;
    try {
        address = ParseServerName(text);
    } catch (const Error& error) {
        Require(error.Number() == errc::InvalidArgument, "a refused name is an invalid argument");
        Require(!error.Description().empty(), "a refusal says why");
        return 0;
    }
    Require(!address.host.empty() && address.host.size() <= 253, "the host is 1 to 253 characters");
    Require(address.instance.size() <= 16, "an instance name is at most 16 characters");
    Require(!address.port || *address.port != 0, "a port is never 0");
    Require(address.local == (address.host == "localhost"), "this machine is always named localhost");
    Require(address.host.find_first_of("\\,:") == std::string::npos, "no separator stays in the host");

    const std::string written = Written(address);
    Require(ParseServerName(written) == address, "the name written back parses the same");
    Require(ParseServerName("tcp:" + written) == address, "the tcp: prefix changes nothing");
    return 0;
}
